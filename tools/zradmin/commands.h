#pragma once
// zradmin's subcommands. Each writes its output to out, its errors (the system's message) to
// err, and returns the exit status.
#include <QtCore/QStringList>
#include <QtCore/QTextStream>

namespace zr::admin {

struct Command {
  const char16_t *name;
  const char16_t *usage; // the contract shown by "zradmin help"
  int (*run)(const QStringList &args, QTextStream &out, QTextStream &err);
};

const QList<Command> &commands();
// Runs "zradmin ARGS...": the first argument names the command.
int run(const QStringList &args, QTextStream &out, QTextStream &err);

int cmdInstall(const QStringList &args, QTextStream &out, QTextStream &err);
int cmdSql(const QStringList &args, QTextStream &out, QTextStream &err);
int cmdWorkbook(const QStringList &args, QTextStream &out, QTextStream &err);
int cmdBackup(const QStringList &args, QTextStream &out, QTextStream &err);
int cmdReport(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace zr::admin
