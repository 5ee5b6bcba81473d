#pragma once
// TBookmark: a holder that can mark the position of one record of a browser's data source.

#include <cstdint>

class TBookmark {
public:
    TBookmark() = default;
    virtual ~TBookmark() = default;
    TBookmark(const TBookmark&) = delete;
    TBookmark& operator=(const TBookmark&) = delete;

    // 0 while the bookmark marks nothing: the browser writes 0 here to empty it, and a
    // descendant's SaveBookmark makes it anything else. The rest of a derived bookmark belongs
    // to the descendant.
    int32_t Mark = 0;

    bool Empty() const { return Mark == 0; }
    void Clear() { Mark = 0; }
};
