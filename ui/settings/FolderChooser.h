#pragma once

#include <QStringList>

#include <functional>

class QWidget;

// Asks the user for folders; the chosen paths in the chooser's order, or
// nothing when the user cancels. Tests put their own function in its place.
using FolderChooser = std::function<QStringList(QWidget *parent)>;

// A modal folder dialog in which several folders can be selected at once.
QStringList chooseFoldersWithDialog(QWidget *parent);
