#include "db/schema.h"

#include "db/database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

static void initSchemaResources()
{
    Q_INIT_RESOURCE(schema);
}

namespace db::schema {

namespace {

const QString kResourceDir = QStringLiteral(":/db");
const QString kDemoScript = QStringLiteral("demo.sql");

bool startsWithWord(const QString &text, qsizetype at, QStringView word)
{
    if (text.size() - at < word.size())
        return false;
    if (QStringView(text).mid(at, word.size()).compare(word, Qt::CaseInsensitive) != 0)
        return false;
    const qsizetype after = at + word.size();
    return after >= text.size() || !text[after].isLetterOrNumber();
}

} // namespace

QStringList splitScript(const QString &script)
{
    QStringList statements;
    QString terminator = QStringLiteral(";");
    QString current;
    const qsizetype n = script.size();
    qsizetype i = 0;

    auto flush = [&] {
        const QString s = current.trimmed();
        current.clear();
        if (s.isEmpty())
            return;
        if (s.compare(QStringLiteral("COMMIT"), Qt::CaseInsensitive) == 0
            || s.compare(QStringLiteral("COMMIT WORK"), Qt::CaseInsensitive) == 0)
            return;
        statements << s;
    };

    while (i < n) {
        const QChar c = script[i];
        // SET TERM at the start of a statement changes the terminator.
        if (current.trimmed().isEmpty() && startsWithWord(script, i, u"SET")) {
            qsizetype j = i + 3;
            while (j < n && script[j].isSpace())
                ++j;
            if (startsWithWord(script, j, u"TERM")) {
                j += 4;
                while (j < n && script[j].isSpace())
                    ++j;
                // "SET TERM ^ ;": the new terminator, then the old one.
                qsizetype k = j;
                while (k < n && !script[k].isSpace())
                    ++k;
                QString token = script.mid(j, k - j);
                if (token.size() > terminator.size() && token.endsWith(terminator)) {
                    token.chop(terminator.size());
                    k = j + token.size();
                }
                while (k < n && script[k].isSpace())
                    ++k;
                if (QStringView(script).mid(k, terminator.size()) == terminator)
                    k += terminator.size();
                terminator = token;
                i = k;
                current.clear();
                continue;
            }
        }
        if (c == u'\'' || c == u'"') {
            const QChar q = c;
            current += c;
            ++i;
            while (i < n) {
                current += script[i];
                if (script[i] == q) {
                    ++i;
                    if (i < n && script[i] == q) {
                        current += script[i];
                        ++i;
                        continue;
                    }
                    break;
                }
                ++i;
            }
            continue;
        }
        if (c == u'-' && i + 1 < n && script[i + 1] == u'-') {
            // Comments outside statements are dropped; inside they stay.
            const bool keep = !current.trimmed().isEmpty();
            while (i < n && script[i] != u'\n') {
                if (keep)
                    current += script[i];
                ++i;
            }
            continue;
        }
        if (c == u'/' && i + 1 < n && script[i + 1] == u'*') {
            const qsizetype end = script.indexOf(QStringLiteral("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            // Comments outside statements are dropped; inside they stay.
            if (!current.trimmed().isEmpty())
                current += script.mid(i, stop - i);
            i = stop;
            continue;
        }
        if (QStringView(script).mid(i, terminator.size()) == terminator) {
            flush();
            i += terminator.size();
            continue;
        }
        current += c;
        ++i;
    }
    flush();
    return statements;
}

QStringList scriptNames()
{
    initSchemaResources();
    QStringList names = QDir(kResourceDir).entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name);
    names.removeAll(kDemoScript);
    return names;
}

QString scriptText(const QString &name)
{
    initSchemaResources();
    QFile f(kResourceDir + u'/' + name);
    if (!f.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Script %1 não encontrado").arg(name));
    return QString::fromUtf8(f.readAll());
}

void install(Connection &connection, bool demo)
{
    QStringList names = scriptNames();
    if (demo)
        names << kDemoScript;
    for (const QString &name : names) {
        for (const QString &statement : splitScript(scriptText(name))) {
            try {
                connection.executeImmediate(statement);
            } catch (const Error &e) {
                throw Error(QStringLiteral("%1: %2\n%3").arg(name, e.message(), statement.left(200)));
            }
        }
    }
}

std::unique_ptr<Connection> createDatabase(const QString &path, bool demo, bool forcedWrites)
{
    if (QFileInfo::exists(path))
        throw Error(QStringLiteral("O arquivo %1 já existe; nada foi alterado.").arg(path));
    auto connection = Connection::create(path);
    try {
        install(*connection, demo);
    } catch (...) {
        connection.reset();
        QFile::remove(path);
        throw;
    }
    if (!forcedWrites)
        return connection;
    connection.reset();
    Connection::Options options;
    options.database = path;
    options.forcedWrites = true;
    return Connection::open(options);
}

} // namespace db::schema
