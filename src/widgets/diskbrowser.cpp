#include "widgets/diskbrowser.h"

#include "platform/core/failure.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QStorageInfo>

#include <algorithm>

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) { refresh(); }

void DriveListBox::refresh()
{
    const QString current = currentText();
    QStringList roots{QDir::rootPath()};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    }
    std::sort(roots.begin() + 1, roots.end());
    clear();
    addItems(roots);
    setCurrentIndex(std::max(0, findText(current)));
}

QString DriveListBox::drive(int index) const { return index >= 0 && index < count() ? itemText(index) : QString(); }

void DriveListBox::setDriveOf(const QString& path)
{
    const QString absolute = QDir(path).absolutePath();
    int best = 0;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemText(i);
        const bool holds = absolute == root || absolute.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
        if (holds && root.size() > itemText(best).size())
            best = i;
    }
    setCurrentIndex(best);
}

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemActivated, this, &DirListBox::openEntry);
}

void DirListBox::setPath(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        throw platform::Failure(platform::err::kPathNotFound,
                                "Path not found: " + path.toStdString());
    }
    QDir dir(info.absoluteFilePath());
    if (!info.isDir() || !dir.isReadable()) {
        throw platform::Failure(platform::err::kDeviceUnavailable,
                                "Device unavailable: " + path.toStdString());
    }
    mPath = dir.absolutePath();
    clear();
    if (!dir.isRoot())
        addItem(QStringLiteral(".."));
    addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    Q_EMIT pathChanged(mPath);
}

void DirListBox::openEntry(QListWidgetItem* item)
{
    const QString target = QDir(mPath).absoluteFilePath(item->text());
    try {
        setPath(QDir::cleanPath(target));
    } catch (const platform::Failure&) {
        // A folder that vanished or cannot be read is simply not entered.
    }
}

// A focus that arrives by the keyboard makes the first entry current without
// selecting it; only a selected entry is a pick.
FileListBox::FileListBox(QWidget* parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemSelectionChanged, this, &FileListBox::reportPick);
    connect(this, &QListWidget::itemClicked, this, &FileListBox::reportPick);
    connect(this, &QListWidget::itemActivated, this, &FileListBox::reportPick);
}

void FileListBox::reportPick()
{
    const QListWidgetItem* item = currentItem();
    if (item && item->isSelected())
        Q_EMIT fileChosen(selectedFile());
}

bool FileListBox::showFile(const QString& name)
{
    const QList<QListWidgetItem*> found = findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QListWidgetItem* item = name.isEmpty() ? this->item(0) : found.value(0);
    if (!item)
        return false;
    const QSignalBlocker quiet(this);
    setCurrentItem(item);
    scrollToItem(item);
    return true;
}

void FileListBox::setPath(const QString& path)
{
    mPath = path;
    reload();
}

void FileListBox::setPattern(const QString& pattern)
{
    mPattern = pattern;
    reload();
}

QString FileListBox::selectedFile() const
{
    const QListWidgetItem* item = currentItem();
    return item ? QDir(mPath).absoluteFilePath(item->text()) : QString();
}

void FileListBox::reload()
{
    const QSignalBlocker quiet(this);  // a new listing is not the user's pick
    clear();
    if (mPath.isEmpty())
        return;
    const QStringList filters = mPattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    addItems(QDir(mPath).entryList(filters, QDir::Files, QDir::Name | QDir::IgnoreCase));
}
