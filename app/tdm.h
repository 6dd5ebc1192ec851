#pragma once
// The data module: the one connection of the program, known to every query by the name
// ZRRecordFolioDataBase over the alias ZRRecordFolioLink.
#include "platform/sql/database.h"

namespace zr::app {

// What the start-up says when the alias is missing (two lines, line feed then carriage return).
QString missingAliasMessage();

class TDM {
public:
  TDM();
  ~TDM();
  TDM(const TDM &) = delete;
  TDM &operator=(const TDM &) = delete;

  // Looks the alias up; a missing one is reported and sets StartupFailed.
  void DataModuleCreate();
  // Opens the connection and registers its name; sets DataDirectory and ProgramDirectory.
  // Throws the engine's error when it cannot.
  void open();

  zr::sql::Database MainDatabase;
};

} // namespace zr::app
