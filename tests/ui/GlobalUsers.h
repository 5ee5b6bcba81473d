#pragma once
// The program's one store, Users, filled for a test and emptied again afterwards.

#include "store/User.h"

#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

class TGlobalUsers {
public:
    // Takes ownership of the users, in this order; LastId as given.
    TGlobalUsers(std::initializer_list<TUserC*> List, uint16_t LastId) {
        Users->Clear();
        Users->Header = TUserFileHeader{};
        Users->Header.LastId = LastId;
        for (TUserC* User : List)
            Users->Add(User);
    }
    ~TGlobalUsers() {
        Users->Clear();
        Users->Header = TUserFileHeader{};
    }
    TGlobalUsers(const TGlobalUsers&) = delete;
    TGlobalUsers& operator=(const TGlobalUsers&) = delete;
};

// A field of a packed record by value: the test macros bind references, which it cannot take.
template <class T> constexpr T Val(T Value) {
    return Value;
}

// A named component of a form; fails the test when there is none.
template <class T> T* Part(const QWidget* Form, const char* Name) {
    T* Found = Form->findChild<T*>(QString::fromLatin1(Name));
    if (!Found)
        ADD_FAILURE() << "no component " << Name;
    return Found;
}
