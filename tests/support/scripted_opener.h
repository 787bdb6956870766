#pragma once
// A document opener for the Qt shell service in place of xdg-open: a shell script in a folder
// of its own, installed with the Qt shell service (over a scripted one) for the object's lifetime. The script's lines see the document as "$1";
// every call also writes its arguments, one a line, to argsFile().
#include "platform/services.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>

#include <string>

class ScriptedOpener {
public:
    explicit ScriptedOpener(const std::string& lines, int verdictMs = platform::kOpenerVerdictMs)
    {
        const QString script = dir_.filePath(QStringLiteral("opener"));
        QFile f(script);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + argsFile().toStdString() + "'\n" + lines + "\n").c_str());
            f.close();
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        platform::setDocumentOpener(script, verdictMs);
        platform::setShellService(nullptr);
    }
    ~ScriptedOpener()
    {
        waitUntilDone();
        platform::setDocumentOpener({});
        platform::setShellService(previous_);
    }
    ScriptedOpener(const ScriptedOpener&) = delete;
    ScriptedOpener& operator=(const ScriptedOpener&) = delete;

    // Lets events through until every opener started has ended; false when one still runs.
    static bool waitUntilDone(int ms = 30000)
    {
        const QDeadlineTimer deadline(ms);
        while (platform::documentOpenersRunning() > 0 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::processEvents();
        return platform::documentOpenersRunning() == 0;
    }
    QString argsFile() const { return dir_.filePath(QStringLiteral("args")); }
    QByteArray args() const
    {
        QFile f(argsFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    platform::ShellService* previous_ = &platform::shell();
    QTemporaryDir dir_;
};
