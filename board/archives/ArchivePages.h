#pragma once
// The topic archives: an archive's topic list, the archived thread view,
// and the editing, deleting and moving of archived topics. A topic may
// stand in several archives; every page works on the copy of one archive,
// the one its address names (archiveid), or else the lowest that holds it.
// Addresses: board/archives/ArchiveRoutes.cpp.
#include <string>

#include "core/Tarnbell.h"

namespace board {

class ArchivePages : public core::Tarnbell {
public:
    // archivelist.asp: the topics filed in one archive (ArchiveList.cpp).
    void ArchiveList();
    // archivecontent.asp: one archived topic with its replies (ArchiveContent.cpp).
    void ArchiveContent();

    // posting.asp?action=editarchive: the form for editing or deleting one
    // archived post; action=archivesubmitedit: its post (ArchiveEdit.cpp).
    void ArchiveEditPost();
    void ArchiveSubmitEdit();
    // posting.asp?action=deletearchive: deletes an archived topic with its
    // replies, in two steps (ArchiveDelete.cpp).
    void DeleteArchive();
    // archive.asp?action=transferarchive and its post (submittransfer
    // without `Option`): moves an archived topic to another archive
    // (ArchiveTransfer.cpp).
    void TransferArchive();
};

}  // namespace board
