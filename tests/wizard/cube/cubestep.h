// The cube selection step shown, over a store folder of real cube files.
#pragma once

#include "common/wizardtest.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

class CubeStep : public WizardTest {
protected:
    CubeStep() { next(); }

    // Copies a file of the sample store into the store folder.
    void copySample(const QString& name) const
    {
        QFile::remove(path(name.toStdString()));
        if (!QFile::copy(QStringLiteral(PIVOTWIZARD_SAMPLE_STORE "/") + name, path(name.toStdString())))
            throw std::runtime_error("cannot copy the sample " + name.toStdString() + " (is the sample store built?)");
    }
    // Replaces (or makes) file `name` of the store folder with bytes no reader takes.
    void damage(const std::string& name) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write("damaged") != 7)
            throw std::runtime_error("cannot write " + name);
    }
    QStringList bwcFiles() const { return QDir(path("")).entryList({QStringLiteral("*.BWC")}, QDir::Files); }
    QStringList area(int index) const { return entries(wizard.lstCubeDetails[size_t(index)]); }
};
