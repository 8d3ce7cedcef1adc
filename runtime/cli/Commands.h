#pragma once

#include <QStringList>

// The commands of the zrk command line. Each takes its own arguments (the
// command name first) and returns the process exit status.
namespace zrkcli {

constexpr int kExitUsage = 2;

int runCheck(const QStringList& arguments);
int runInspect(const QStringList& arguments);
int runFormat(const QStringList& arguments);
int runTemplate(const QStringList& arguments);
int runPrint(const QStringList& arguments);
int runPages(const QStringList& arguments);
int runView(const QStringList& arguments);

} // namespace zrkcli
