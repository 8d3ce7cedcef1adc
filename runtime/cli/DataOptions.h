#pragma once

#include "runtime/data/ControlOptions.h"

#include <QCommandLineOption>

class QCommandLineParser;

// The data options that print and view share: --data-encoding, --data-format
// and --group-by, with their help and their checks.
namespace zrkcli {

class DataOptions {
  public:
    DataOptions();

    void addTo(QCommandLineParser& parser) const;
    // Puts the chosen values into caller (zrk's default encoding is auto);
    // false after a usage message that names the command.
    bool apply(const QCommandLineParser& parser, const char* command, runtime::CallerOptions& caller) const;

  private:
    QCommandLineOption m_encoding;
    QCommandLineOption m_format;
    QCommandLineOption m_groupBy;
};

} // namespace zrkcli
