#pragma once
// Users for dialog tests, built in memory (no file): names and passwords given in UTF-8.

#include "store/Rights.h"
#include "store/UserC.h"
#include "store/UserManager.h"

#include <cstdint>
#include <string>

// A new user object with Id, logon name, network name, Zortan password and rights.
TUserC* MakeUser(uint16_t Id, const std::string& UserName, const std::string& Password,
                 uint32_t Rights, const std::string& NetUserName = std::string());

// The network password, read through the same decoding as the Zortan password.
std::string NetPassOf(const TUserC& User);
