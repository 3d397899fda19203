// The addresses of the archive pages, and their actions of posting.asp and
// archive.asp.
#include "board/archives/ArchivePages.h"
#include "platform/Router.h"

namespace board {
namespace {

using platform::ActionRegistrar;
using platform::PageRegistrar;

const PageRegistrar kPages[] = {
    {"archivelist.asp", &ArchivePages::ArchiveList},
    {"archivecontent.asp", &ArchivePages::ArchiveContent},
};

const ActionRegistrar kActions[] = {
    {"posting.asp", "editarchive", &ArchivePages::ArchiveEditPost},
    {"posting.asp", "archivesubmitedit", &ArchivePages::ArchiveSubmitEdit},
    {"posting.asp", "deletearchive", &ArchivePages::DeleteArchive},
    {"archive.asp", "transferarchive", &ArchivePages::TransferArchive},
    // The move of a live topic posts the same action with `Option`
    // (board/posting/PostingRoutes.cpp).
    {"archive.asp", "submittransfer", &ArchivePages::TransferArchive},
};

}  // namespace
}  // namespace board
