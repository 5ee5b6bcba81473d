// The main window with a full store of 65,535 users: RefreshList as Add, Edit and Delete end
// with it (the same row count, and one row more or fewer), and opening the window.
#include "store/User.h"
#include "toolkit/Application.h"
#include "ui/UserMng.h"
#include "viewer/Viewer.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

class TMeasuredMainForm : public TMainForm {
public:
    using TMainForm::RefreshList;
    using TMainForm::TMainForm;
};

// Users with logon names, passwords and rights of every kind, as a large installation has them.
void FillUsers(int Count) {
    Users->Clear();
    for (int I = 0; I < Count; ++I) {
        TUserRec Rec;
        std::memset(&Rec, 0, sizeof Rec);
        Rec.Id = static_cast<uint16_t>(I + 1);
        Rec.Rights = (I % 3 == 0 ? rtLogon : 0) |
                     (static_cast<uint32_t>(I) * 0x01010103U &
                      (rtOtherGroup | rtParcelGroup | rtLayerGroup | rtObjectGroup | rtSignature));
        Rec.UserName.Assign("u\xBF"
                            "ytkownik" +
                            std::to_string(I)); // "użytkownik" in CP1250
        auto* User = new TUserC(Rec);
        User->SetPass(I % 2 ? "has\xB3o" : "");
        User->SetNetPass("");
        Users->Add(User);
    }
    Users->Header.LastId = static_cast<uint16_t>(Count);
}

std::unique_ptr<TMeasuredMainForm> OpenWindow() {
    auto Form = std::make_unique<TMeasuredMainForm>(nullptr);
    Form->show();
    QApplication::processEvents();
    return Form;
}

void BM_RefreshList(benchmark::State& State) {
    FillUsers(static_cast<int>(State.range(0)));
    const auto Form = OpenWindow();
    for (auto _ : State) {
        Form->RefreshList();
        benchmark::DoNotOptimize(Form->Viewer()->Cells(2, Users->Count()).size());
    }
    State.SetItemsProcessed(State.iterations() * Users->Count());
    Users->Clear();
}
BENCHMARK(BM_RefreshList)->Arg(100)->Arg(65535)->Unit(benchmark::kMillisecond);

// After an accepted Add or a Delete the list has one row more or fewer than the grid.
void BM_RefreshListAfterDelete(benchmark::State& State) {
    FillUsers(static_cast<int>(State.range(0)));
    const auto Form = OpenWindow();
    for (auto _ : State) {
        State.PauseTiming();
        auto* Last = Users->Items(Users->Count() - 1);
        Users->Delete(Users->Count() - 1);
        State.ResumeTiming();
        Form->RefreshList();
        State.PauseTiming();
        Users->Add(Last);
        Form->RefreshList();
        State.ResumeTiming();
    }
    Users->Clear();
}
BENCHMARK(BM_RefreshListAfterDelete)->Arg(65535)->Unit(benchmark::kMillisecond);

// Building the window from its description, FormCreate's RefreshList, and showing it.
void BM_OpenMainWindow(benchmark::State& State) {
    FillUsers(static_cast<int>(State.range(0)));
    for (auto _ : State)
        benchmark::DoNotOptimize(OpenWindow());
    Users->Clear();
}
BENCHMARK(BM_OpenMainWindow)->Arg(65535)->Unit(benchmark::kMillisecond);

} // namespace

int main(int Argc, char** Argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application.Initialize(Argc, Argv);
    benchmark::Initialize(&Argc, Argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Application.Finalize();
    return 0;
}
