// ProgramUnits.h - every unit the program starts, in link order, so the
// program and the tools that drive its windows start the same ones.
#pragma once

class TStartupList;

void AddProgramUnits(TStartupList& Units);
