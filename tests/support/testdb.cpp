#include "support/testdb.h"

#include "db/schema.h"

#include <QFile>
#include <QTemporaryDir>

namespace testsupport {

namespace {

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString templatePath(bool demo)
{
    static QString plain, withDemo;
    QString &path = demo ? withDemo : plain;
    if (path.isEmpty()) {
        const QString p = folder().filePath(demo ? QStringLiteral("template-demo.fdb") : QStringLiteral("template.fdb"));
        db::schema::createDatabase(p, demo, false); // closed again when the connection goes
        path = p;
    }
    return path;
}

} // namespace

QString scratchDir()
{
    return folder().path();
}

QString freshDatabasePath(bool demo)
{
    static int counter = 0;
    const QString path = folder().filePath(QStringLiteral("db%1.fdb").arg(++counter));
    if (!QFile::copy(templatePath(demo), path))
        qFatal("could not copy the template database to %s", qPrintable(path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

std::unique_ptr<db::Connection> freshDatabase(bool demo)
{
    return db::Connection::open(freshDatabasePath(demo));
}

} // namespace testsupport
