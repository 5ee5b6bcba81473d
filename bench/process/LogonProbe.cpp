#include "bench/process/LogonProbe.h"

#include "bench/process/ChildProcess.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

constexpr double TimeoutMs = 30'000;
constexpr std::string_view LogonCaption = "Logowanie";

xcb_atom_t Atom(xcb_connection_t* Conn, std::string_view Name) {
    xcb_intern_atom_reply_t* Reply = xcb_intern_atom_reply(
        Conn, xcb_intern_atom(Conn, 0, static_cast<uint16_t>(Name.size()), Name.data()), nullptr);
    const xcb_atom_t Result = Reply != nullptr ? Reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(Reply);
    return Result;
}

// The bytes of a window's property, empty when it has none.
std::string Property(xcb_connection_t* Conn, xcb_window_t Window, xcb_atom_t Name) {
    xcb_get_property_reply_t* Reply = xcb_get_property_reply(
        Conn, xcb_get_property(Conn, 0, Window, Name, XCB_GET_PROPERTY_TYPE_ANY, 0, 64), nullptr);
    std::string Value;
    if (Reply != nullptr)
        Value.assign(static_cast<const char*>(xcb_get_property_value(Reply)),
                     static_cast<std::size_t>(xcb_get_property_value_length(Reply)));
    std::free(Reply);
    return Value;
}

} // namespace

struct TLogonProbe::TState {
    xcb_connection_t* Conn = nullptr;
    xcb_atom_t NetWmPid = XCB_ATOM_NONE;
    xcb_atom_t NetWmName = XCB_ATOM_NONE;

    // A window that Pid has mapped with the logon dialog's caption.
    bool IsLogonWindow(xcb_window_t Window, pid_t Pid) const {
        const std::string PidBytes = Property(Conn, Window, NetWmPid);
        uint32_t OwnerPid = 0;
        if (PidBytes.size() != sizeof OwnerPid)
            return false;
        std::memcpy(&OwnerPid, PidBytes.data(), sizeof OwnerPid);
        return OwnerPid == static_cast<uint32_t>(Pid) &&
               Property(Conn, Window, NetWmName) == LogonCaption;
    }
};

TLogonProbe::TLogonProbe() : F(std::make_unique<TState>()) {
    int ScreenNo = 0;
    F->Conn = xcb_connect(nullptr, &ScreenNo);
    if (xcb_connection_has_error(F->Conn))
        FailWith("no X display to start pelorin on (DISPLAY)");
    xcb_screen_iterator_t Screen = xcb_setup_roots_iterator(xcb_get_setup(F->Conn));
    for (int I = 0; I < ScreenNo; ++I)
        xcb_screen_next(&Screen);
    // Without a window manager the program's top-level windows are children of the root, whose
    // map events this connection then receives.
    const uint32_t Mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(F->Conn, Screen.data->root, XCB_CW_EVENT_MASK, &Mask);
    F->NetWmPid = Atom(F->Conn, "_NET_WM_PID");
    F->NetWmName = Atom(F->Conn, "_NET_WM_NAME");
    xcb_flush(F->Conn);
}

TLogonProbe::~TLogonProbe() {
    xcb_disconnect(F->Conn);
}

double TLogonProbe::WaitForLogonWindow(const TChild& Child, const std::string& ErrFile) {
    const int PidFd = static_cast<int>(::syscall(SYS_pidfd_open, Child.Pid(), 0));
    if (PidFd < 0)
        FailWith("this kernel cannot watch a process through a descriptor (pidfd_open)");
    const std::unique_ptr<const int, void (*)(const int*)> ClosePidFd(
        &PidFd, [](const int* Fd) { ::close(*Fd); });
    for (;;) {
        xcb_generic_event_t* Event = xcb_poll_for_event(F->Conn);
        if (Event == nullptr) {
            if (xcb_connection_has_error(F->Conn))
                FailWith("the X display went away");
            pollfd Ready[2] = {{xcb_get_file_descriptor(F->Conn), POLLIN, 0}, {PidFd, POLLIN, 0}};
            const int Rc = ::poll(Ready, 2, static_cast<int>(TimeoutMs));
            if (Rc == 0)
                FailWith("pelorin showed no logon window", ErrFile);
            if (Ready[1].revents != 0)
                FailWith("pelorin ended before its logon window showed", ErrFile);
            continue;
        }
        const bool Shown =
            (Event->response_type & 0x7F) == XCB_MAP_NOTIFY &&
            F->IsLogonWindow(reinterpret_cast<const xcb_map_notify_event_t*>(Event)->window,
                             Child.Pid());
        std::free(Event);
        if (Shown)
            return MonotonicMs() - Child.StartMs();
    }
}

TLogonTimes TLogonProbe::Run(const std::string& Program, const std::string& ErrFile) {
    // Events of an earlier run are of no interest.
    while (xcb_generic_event_t* Old = xcb_poll_for_event(F->Conn))
        std::free(Old);

    TChild Child({Program}, "", ErrFile);
    TLogonTimes Times;
    Times.StartToLogonMs = WaitForLogonWindow(Child, ErrFile);
    const double TermAt = MonotonicMs();
    ::kill(Child.Pid(), SIGTERM);
    TChildEnd End;
    if (!Child.Wait(TimeoutMs, End))
        FailWith("pelorin did not end after SIGTERM", ErrFile);
    Times.TermToExitMs = End.Ms - (TermAt - Child.StartMs());
    if (!End.Ok())
        FailWith("pelorin ended with " + End.Describe() + " after SIGTERM", ErrFile);
    return Times;
}
