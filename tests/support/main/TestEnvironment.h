#pragma once

// What every test process starts with, whether ctest or a person runs it: no
// display needed, the build's program folder, and a sealed place of its own.
// Home, the XDG config, cache, data, state and runtime folders and the
// temporary folder all point into one fresh folder that is removed when the
// process ends, so no test reads or writes the user's own settings or leaves
// files in shared folders. The object must exist before the application
// object, and outlive it.

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

class TTestEnvironment
{
public:
    TTestEnvironment()
        : m_root(MakeRoot())
    {
        if (!m_root.isValid()) {
            std::fprintf(stderr, "Cannot create the test's own folder %s\n",
                         qPrintable(MakeRoot()));
            std::exit(1);
        }
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
        if (qEnvironmentVariableIsEmpty("ORVO_PROGRAM_DIR"))
            qputenv("ORVO_PROGRAM_DIR", QByteArray(ORVO_PROGRAM_DIR));
        Point("HOME", QStringLiteral("home"));
        Point("XDG_CONFIG_HOME", QStringLiteral("config"));
        Point("XDG_CACHE_HOME", QStringLiteral("cache"));
        Point("XDG_DATA_HOME", QStringLiteral("data"));
        Point("XDG_STATE_HOME", QStringLiteral("state"));
        Point("XDG_RUNTIME_DIR", QStringLiteral("runtime"));
        Point("TMPDIR", QStringLiteral("tmp"));
        // Settings of the whole machine are not the tests' either.
        const QString system = Make(QStringLiteral("system"));
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, system);
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, system);
    }

    ~TTestEnvironment()
    {
        // A test may leave a folder it made read-only behind.
        QDirIterator it(m_root.path(), QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString folder = it.next();
            QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ReadOwner |
                                              QFile::WriteOwner | QFile::ExeOwner);
        }
    }

    TTestEnvironment(const TTestEnvironment&) = delete;
    TTestEnvironment& operator=(const TTestEnvironment&) = delete;

    QString path() const { return m_root.path(); }

private:
    // The process's folder inside the temporary folder the process was given
    // (made when missing: ctest names one in the build folder).
    static QString MakeRoot()
    {
        QString parent = qEnvironmentVariable("TMPDIR");
        if (parent.isEmpty() || !QDir().mkpath(parent))
            parent = QStringLiteral("/tmp");
        return QDir(parent).absoluteFilePath(QStringLiteral("orvo-test-process-XXXXXX"));
    }

    QString Make(const QString& name) const
    {
        const QString folder = m_root.filePath(name);
        QDir().mkpath(folder);
        // The runtime folder must be the owner's alone; the others may as well.
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return folder;
    }

    void Point(const char* variable, const QString& name) const
    {
        qputenv(variable, QFile::encodeName(Make(name)));
    }

    QTemporaryDir m_root;
};
