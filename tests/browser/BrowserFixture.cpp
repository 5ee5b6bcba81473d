#include "BrowserFixture.h"

#include "toolkit/Application.h"
#include "toolkit/MessageBox.h"

#include <QTest>

#include <algorithm>
#include <stdexcept>

namespace {

constexpr int kPitch = 21; // row height 20 and the fixed rows' line

QPoint InRow(int Row) {
    return QPoint(30, Row * kPitch + 10);
}

} // namespace

std::string Named(const char* Prefix, int64_t Number) {
    std::string Text = Prefix;
    Text += std::to_string(Number); // appended: GCC 12 misreads "..." + std::string as overlapping
    return Text;
}

TMemoryRecord TNumberedTable::At(int64_t Position) const {
    return {Position, {Named("R", Position), std::to_string(3 * Position)}, {}};
}

int64_t TNumberedTable::LowerBound(int64_t Key) const {
    return std::clamp<int64_t>(Key, 0, FCount);
}

void FillByTens(TRecordVector& Table, int N) {
    for (int I = 1; I <= N; ++I)
        Table.Insert({10 * I, {Named("Rec ", 10 * I), std::to_string(I)}, {}});
}

TRecord TProbeBrowser::GetAtOffset(int32_t Offset) {
    Offsets.push_back(Offset);
    if (FailAtOffset == Offset)
        throw std::runtime_error("source failed");
    return TMemoryBrowser::GetAtOffset(Offset);
}

void TProbeBrowser::BeginFill() {
    Events.push_back("begin");
    if (FailInBeginFill)
        throw std::runtime_error("cannot begin");
}

void TProbeBrowser::EndFill() {
    Events.push_back("end");
}

void TProbeBrowser::RowSelected(const TBookmark& Bookmark) {
    Events.push_back(Bookmark.Empty()
                         ? "selected none"
                         : Named("selected ", static_cast<const TMemoryBookmark&>(Bookmark).Key));
    TMemoryBrowser::RowSelected(Bookmark);
}

BrowserTest::BrowserTest() {
    Grid.setFrameStyle(QFrame::NoFrame);
    Grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid.SetColCount(3);
    Grid.SetRowCount(kDataRows + 1);
    Grid.SetDefaultColWidth(60);
    Grid.SetDefaultRowHeight(20);
    Grid.resize(200, (kDataRows + 1) * kPitch + 20);
    Grid.show();
    Grid.setFocus();
}

TProbeBrowser& BrowserTest::Attach(TMemoryTable& Table, bool ReadOnly, bool CanDelete) {
    Browser = TBrowser::Create<TProbeBrowser>(Grid, Table, 1, ReadOnly, CanDelete);
    Browser->ClearLog();
    return *Browser;
}

void BrowserTest::Key(Qt::Key Pressed, Qt::KeyboardModifiers Modifiers) {
    QTest::keyClick(&Grid, Pressed, Modifiers);
}

void BrowserTest::Click(int Row) {
    QTest::mouseClick(Grid.viewport(), Qt::LeftButton, Qt::NoModifier, InRow(Row));
}

void BrowserTest::DoubleClick(int Row) {
    // As a real double-click arrives: a click, then the double-click press and its release.
    QTest::mouseClick(Grid.viewport(), Qt::LeftButton, Qt::NoModifier, InRow(Row));
    QTest::mouseDClick(Grid.viewport(), Qt::LeftButton, Qt::NoModifier, InRow(Row));
    QTest::mouseRelease(Grid.viewport(), Qt::LeftButton, Qt::NoModifier, InRow(Row));
}

std::vector<std::string> BrowserTest::Page() const {
    std::vector<std::string> Texts;
    for (int Row = 1; Row <= kDataRows; ++Row)
        Texts.push_back(Text(0, Row));
    return Texts;
}

std::vector<std::string> BrowserTest::NumberedPage(int64_t Top, int64_t Count) {
    std::vector<std::string> Texts;
    for (int64_t P = Top; P < Top + kDataRows; ++P)
        Texts.push_back(P < Count ? Named("R", P) : "");
    return Texts;
}

TBoxAnswer::TBoxAnswer(int Answer) {
    Application.SetMessageBoxHook(
        [this, Answer](const QString& Text, const QString& Caption, int Flags) {
            Shown.push_back({Text, Caption, Flags});
            return Answer;
        });
}

TBoxAnswer::~TBoxAnswer() {
    Application.SetMessageBoxHook([](const QString& Text, const QString&, int) {
        ADD_FAILURE() << "unexpected message box: " << Text.toStdString();
        return IDCANCEL;
    });
}
