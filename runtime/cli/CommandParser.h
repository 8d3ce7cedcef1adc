#pragma once

#include <QCommandLineParser>
#include <QStringList>

#include <optional>
#include <string>

namespace zrkcli {

// A QCommandLineParser for one command: --help prints the command's help and
// usage errors print a short usage text. parse() returns the exit status to
// stop with, or nothing to go on.
class CommandParser {
  public:
    CommandParser(const QString& command, const QString& description);
    QCommandLineParser& parser() { return m_parser; }
    void addPositional(const QString& name, const QString& description);
    std::optional<int> parse(const QStringList& arguments, int positionalCount);
    // Positional argument i as a file system path.
    std::string path(int index) const;

  private:
    int usageError(const QString& message);
    QString helpText() const;

    QString m_command;
    QCommandLineParser m_parser;
};

// The statement of a --control option as the runtime takes it: Shift-JIS
// text, or no statement at all when the option is not given.
class ControlStatement {
  public:
    ControlStatement(const QCommandLineParser& parser, const QCommandLineOption& option);
    const char* text() const { return m_given ? m_sjis.c_str() : nullptr; }

  private:
    bool m_given;
    std::string m_sjis;
};

} // namespace zrkcli
