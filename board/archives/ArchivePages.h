#pragma once
// The topic archives: an archive's topic list, the archived thread view,
// and the editing, deleting and moving of archived topics. A topic may
// stand in several archives; every page works on the copy of one archive,
// the one its address names (archiveid), or else the lowest that holds it.
// Addresses: board/archives/ArchiveRoutes.cpp.
#include "core/Tarnbell.h"

namespace board {

class ArchivePages : public core::Tarnbell {
public:
    // archivelist.asp: the topics filed in one archive (ArchiveList.cpp).
    void ArchiveList();
    // archivecontent.asp: one archived topic with its replies (ArchiveContent.cpp).
    void ArchiveContent();
};

}  // namespace board
