// ProgramAddresses.h - where Help, Home Page, Update and the about box's
// links lead. The user guide is an HTML page shipped beside the program; the
// build may name other pages and a contact address (CMake cache variables
// VORLANE_HOME_PAGE_URL, VORLANE_UPDATE_URL, VORLANE_CONTACT_EMAIL).
#pragma once
#include "platform/rtl/String.h"

// The guide's file name beside the program.
inline constexpr const char* UserGuideFileName = "vorlane-guide.html";

// The guide beside the program (its folder given, or the running program's).
String UserGuideFile(const String& ProgramFolder = String());
// The build's home page, or the guide when the build names none.
String HomePageAddress();
// The build's update page, or the home page.
String UpdateAddress();
// The build's contact address (a plain e-mail address); empty when none.
String ContactAddress();
