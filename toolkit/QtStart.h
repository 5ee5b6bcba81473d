#pragma once
// Creating the Qt application, which needs a display: without one Qt would abort the process
// with a page of messages. Instead one line goes to stderr and the process ends with exit
// code 1; nothing else has been opened by then.

#include <memory>

class QApplication;

std::unique_ptr<QApplication> StartQtApplication(int& Argc, char** Argv);
