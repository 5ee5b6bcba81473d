#pragma once
// The logon and what follows it, run by the main block once the user file is open for writing.
// Returns when the person is done; the main block then halts and the store is written back.

void RunLogonDispatch();
