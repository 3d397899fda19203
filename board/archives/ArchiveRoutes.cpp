// The addresses of the archive pages.
#include "board/archives/ArchivePages.h"
#include "platform/Router.h"

namespace board {
namespace {

using platform::PageRegistrar;

const PageRegistrar kPages[] = {
    {"archivelist.asp", &ArchivePages::ArchiveList},
    {"archivecontent.asp", &ArchivePages::ArchiveContent},
};

}  // namespace
}  // namespace board
