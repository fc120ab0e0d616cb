#include "ui/settings/FolderChooser.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QFileDialog>
#include <QListView>
#include <QTreeView>

QStringList chooseFoldersWithDialog(QWidget *parent)
{
    // Qt's directory mode takes one folder; its own (non-native) dialog
    // accepts several when its views allow a wider selection.
    QFileDialog dialog(parent, QCoreApplication::translate("SettingsView", "Choose folders that contain .app bundles"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setLabelText(QFileDialog::Accept, QCoreApplication::translate("SettingsView", "Add"));
    const auto views = dialog.findChildren<QAbstractItemView *>();
    for (QAbstractItemView *view : views) {
        if (qobject_cast<QListView *>(view) || qobject_cast<QTreeView *>(view))
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}
