// Finds the wizard's controls the way its code addresses them: by name and,
// for members of a control array, by index.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

template <class T>
T* findControl(const QObject* root, const char* name, int index = -1)
{
    const QList<T*> found = root->findChildren<T*>(QString::fromLatin1(name));
    for (T* control : found) {
        const QVariant at = control->property("index");
        if (index < 0 ? !at.isValid() : at.isValid() && at.toInt() == index)
            return control;
    }
    return nullptr;
}
