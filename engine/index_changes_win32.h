// The Windows index service's change source: ReadDirectoryChangesW on each root, subtree and all.
#pragma once

#include "index_serve.h"

namespace es {

// Builds or reloads the service's table, then keeps it current from the folders' change
// notifications until `service.stop`; runs on a thread of its own (the notifications come to it).
void FollowFolderChanges(IndexService& service);

}  // namespace es
