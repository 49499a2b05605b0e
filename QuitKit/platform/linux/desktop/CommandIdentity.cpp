#include "CommandIdentity.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace
{

struct Interpreter {
    QStringList takesValue;  // options whose value is the next word
    QStringList runsInline;  // options whose value is the code itself
    QStringList namesTarget; // options whose value is what runs (a module, a jar)
};

const QStringList shellOptions{QStringLiteral("-o"), QStringLiteral("+o"), QStringLiteral("-O"),
                               QStringLiteral("+O")};

const QHash<QString, Interpreter>& interpreters()
{
    static const QHash<QString, Interpreter> table{
        {QStringLiteral("python"),
         {{QStringLiteral("-W"), QStringLiteral("-X")},
          {QStringLiteral("-c")},
          {QStringLiteral("-m")}}},
        {QStringLiteral("java"),
         {{QStringLiteral("-cp"), QStringLiteral("-classpath"), QStringLiteral("--class-path"),
           QStringLiteral("-p"), QStringLiteral("--module-path"), QStringLiteral("--add-modules")},
          {},
          {QStringLiteral("-jar"), QStringLiteral("-m"), QStringLiteral("--module")}}},
        {QStringLiteral("sh"), {shellOptions, {QStringLiteral("-c")}, {}}},
        {QStringLiteral("bash"), {shellOptions, {QStringLiteral("-c")}, {}}},
        {QStringLiteral("dash"), {shellOptions, {QStringLiteral("-c")}, {}}},
        {QStringLiteral("zsh"), {shellOptions, {QStringLiteral("-c")}, {}}},
        {QStringLiteral("perl"),
         {{QStringLiteral("-I")}, {QStringLiteral("-e"), QStringLiteral("-E")}, {}}},
        {QStringLiteral("ruby"),
         {{QStringLiteral("-I"), QStringLiteral("-r")}, {QStringLiteral("-e")}, {}}},
        {QStringLiteral("node"),
         {{QStringLiteral("-r"), QStringLiteral("--require")},
          {QStringLiteral("-e"), QStringLiteral("--eval"), QStringLiteral("-p"),
           QStringLiteral("--print")},
          {}}},
        {QStringLiteral("gjs"),
         {{QStringLiteral("-I"), QStringLiteral("--include-path")},
          {QStringLiteral("-c"), QStringLiteral("--command")},
          {QStringLiteral("-m"), QStringLiteral("--module")}}},
        {QStringLiteral("mono"), {{}, {}, {}}},
    };
    return table;
}

// "python3.11" and "python3" are python; "nodejs" is node.
QString interpreterName(const QString& program)
{
    static const QRegularExpression version(QStringLiteral("[0-9.]+$"));
    QString name = program;
    name.remove(version);
    return name == QLatin1String("nodejs") ? QStringLiteral("node") : name;
}

QString fileName(const QString& word)
{
    return QFileInfo(word).fileName();
}

std::optional<QString> ofInterpreted(const Interpreter& interpreter, const QStringList& words)
{
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString& word = words[i];
        if (word == QLatin1String("--")) {
            if (i + 1 < words.size())
                return fileName(words[i + 1]);
            return std::nullopt;
        }
        if (interpreter.runsInline.contains(word))
            return std::nullopt;
        if (interpreter.namesTarget.contains(word)) {
            if (i + 1 < words.size())
                return fileName(words[i + 1]);
            return std::nullopt;
        }
        if (interpreter.takesValue.contains(word)) {
            ++i;
            continue;
        }
        if (!word.startsWith(QLatin1Char('-')) && !word.startsWith(QLatin1Char('+')))
            return fileName(word);
    }
    return std::nullopt;
}

// `env [-i] [-u NAME] [NAME=value]… COMMAND …` runs COMMAND.
std::optional<QString> ofEnv(const QStringList& words)
{
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString& word = words[i];
        if (word == QLatin1String("-u") || word == QLatin1String("--unset") ||
            word == QLatin1String("-C") || word == QLatin1String("--chdir")) {
            ++i;
            continue;
        }
        if (word.startsWith(QLatin1Char('-')) || word.contains(QLatin1Char('=')))
            continue;
        return CommandIdentity::of(words.mid(i));
    }
    return std::nullopt;
}

// `flatpak run [OPTION]… APP-ID …` runs the app of that id.
std::optional<QString> ofFlatpak(const QStringList& words)
{
    static const QStringList takesValue{
        QStringLiteral("--command"), QStringLiteral("--branch"),          QStringLiteral("--arch"),
        QStringLiteral("--runtime"), QStringLiteral("--runtime-version"), QStringLiteral("--cwd")};
    if (words.size() < 2 || words[1] != QLatin1String("run"))
        return std::nullopt;
    for (qsizetype i = 2; i < words.size(); ++i) {
        if (takesValue.contains(words[i]))
            ++i;
        else if (!words[i].startsWith(QLatin1Char('-')))
            return words[i];
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> CommandIdentity::of(const QStringList& words)
{
    if (words.isEmpty() || words.first().isEmpty())
        return std::nullopt;
    const QString program = fileName(words.first());
    if (program == QLatin1String("env"))
        return ofEnv(words);
    if (program == QLatin1String("flatpak"))
        return ofFlatpak(words);
    const auto interpreter = interpreters().constFind(interpreterName(program));
    if (interpreter != interpreters().constEnd())
        return ofInterpreted(*interpreter, words);
    return program;
}
