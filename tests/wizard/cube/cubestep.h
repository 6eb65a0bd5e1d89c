// The cube selection step shown, over a store folder of real cube files.
#pragma once

#include "common/wizardtest.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

class CubeStep : public WizardTest {
protected:
    CubeStep() { next(); }

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
