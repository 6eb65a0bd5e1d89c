// The three lists of a disk browser: drives (file system roots and mount
// points), the folders of one path, and the files of a folder that match a
// pattern. The file list tells when the user picks a file (fileChosen); what
// a pick means is its owner's business.
#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QString>
#include <QStringList>

// Lists "/" and every mounted file system, one entry per mount point.
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);
    // The mount point shown at `index`; empty when out of range.
    QString drive(int index) const;
    // Selects the entry whose mount point holds `path` (the longest match).
    void setDriveOf(const QString& path);
    // Re-reads the mounted file systems, keeping the selection where possible.
    void refresh();
};

// Shows a folder and its subfolders; activating an entry opens it.
class DirListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);
    QString path() const { return mPath; }
    // Shows `path`. Throws platform::Failure when it is not a readable folder
    // (68 when the device holding it is unavailable, 76 when it is missing).
    void setPath(const QString& path);

Q_SIGNALS:
    void pathChanged(const QString& path);

private:
    void openEntry(QListWidgetItem* item);
    QString mPath;
};

// Shows the files of a folder that match a pattern such as "*.cub;*.BWC".
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);
    QString path() const { return mPath; }
    QString pattern() const { return mPattern; }
    void setPath(const QString& path);
    void setPattern(const QString& pattern);
    // The full path of the selected file; empty when none is selected.
    QString selectedFile() const;
    // Selects the file `name` of the folder (the first file for an empty
    // name) without reporting a pick; false when the list has no such file.
    bool showFile(const QString& name = {});

Q_SIGNALS:
    // The user picked the file at `path` (full path): a click on it, even on
    // the one already selected, a move of the selection with the keys, or
    // Enter. Listing a folder and showFile() report nothing.
    void fileChosen(const QString& path);

private:
    void reload();
    void reportPick();
    QString mPath;
    QString mPattern = QStringLiteral("*.*");
};
