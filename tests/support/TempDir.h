#pragma once

#include "support/QtPrint.h"

#include <QDir>
#include <QTemporaryDir>

// A folder of its own for each test, removed afterwards.
class TempDir
{
public:
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

private:
    QTemporaryDir m_dir;
};
