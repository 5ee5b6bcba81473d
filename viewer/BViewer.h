#pragma once
// The grid viewer component: the viewer grid and what a record browser offers it.

#include "viewer/Browser.h"
#include "viewer/GridBrowser.h"
#include "viewer/Viewer.h"
