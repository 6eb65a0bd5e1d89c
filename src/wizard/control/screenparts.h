// Small helpers for building the wizard's screens.
#pragma once

#include <QFrame>
#include <QSize>
#include <QString>
#include <QVariant>

// Every step frame has this size; the stack shows one at a time.
inline constexpr QSize kFrameSize(720, 540);

// Gives `object` the control name the code addresses it by and, for members
// of a control array, its index (property "index"). Returns `object`.
template <class T>
T* named(T* object, const char* name, int index = -1)
{
    object->setObjectName(QString::fromLatin1(name));
    if (index >= 0)
        object->setProperty("index", index);
    return object;
}

// A horizontal separator line.
inline QFrame* separatorLine(const char* name, int index, QFrame::Shadow shadow)
{
    auto* line = named(new QFrame, name, index);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(shadow);
    return line;
}
