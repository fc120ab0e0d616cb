#pragma once

#include "core/ScannerServices.h"
#include "model/SystemRoots.h"
#include "platform/Trash.h"

#include <QString>

#include <optional>

// Where a removal sends a path: to the user's Trash, or to the one
// administrator prompt of the operation.
namespace ProtectedPaths {

// True when `path` (a real path) lies where only an administrator can remove
// it: below /Library/, /System/, /usr/local/ or /private/var/ as the system
// sees the path, or in /Applications/ when its holding folder is not writable.
// Plain prefix tests on the path as stored: nothing is resolved.
bool needsAdministrator(const SystemRoots &roots, const QString &path);

// Why `path` must not be removed at all, or nothing when it may be: a path
// with ".", ".." or empty components may name something other than it seems,
// and a system root folder or the home folder (in any letter case), a Trash or
// a folder holding one, and the log folder or a folder holding it are never
// removed whole.
std::optional<TrashError> refusal(const ScannerServices &services, const QString &path);

// Where a removal queues `path`: true for the administrator prompt, false for
// the Trash. A refused path goes to the Trash list, where its attempt fails
// without touching anything; it must never reach the administrator.
bool queuesForAdministrator(const ScannerServices &services, const QString &path);

// Moves `path` to the Trash unless it is refused. A refusal lies outside the
// Cocoa domain, so no caller retries it through the administrator.
std::optional<TrashError> moveToTrashIfAllowed(const ScannerServices &services, const QString &path);

}
