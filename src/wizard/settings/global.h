// The module `global`: temporary files and line splitting, shared by the
// wizard control and its forms.
#pragma once

#include <QString>
#include <QStringList>

// Creates a new, empty file named "bwt", a unique hexadecimal number and
// ".tmp" in the system's temporary folder ($TMPDIR, else /tmp) and returns its
// full path. The caller owns the file and deletes it. Returns an empty path
// when the file cannot be created. Not trapped: a failure passes to the caller.
QString getATempFileName();

// Cuts Line at every occurrence of seperator (matched exactly, case
// included) and returns the number of fields. elements receives the fields
// in order, untrimmed: elements[0] holds field 1, elements[count - 1] the
// last. Two separators in a row give an empty field; a single trailing
// separator gives no extra field; an empty Line gives one empty field.
// Runs under the error trap (module "global", no window to close). An empty
// seperator, or more than 32767 fields, is an Overflow failure: the trap
// reports it and the function returns 0.
// Requires: seperator is not empty.
qint16 splitLine(QString Line, const QString& seperator, QStringList& elements);
