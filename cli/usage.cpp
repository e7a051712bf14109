#include "cli/usage.h"

namespace kvx::cli {

const char* const kUsage =
    "Usage: karvex split SOURCE [options]\n"
    "\n"
    "Splits SOURCE into numbered piece files, each ending with a record that lets the set be\n"
    "checked and joined again. Piece 1 is written last.\n"
    "\n"
    "Where and how:\n"
    "  -d, --dest DIR          destination folder (default: the current folder); {orf}, {ofw} and\n"
    "                          {ore} stand for the source's name, name without extension, extension\n"
    "  -s, --size SIZE         pieces of SIZE bytes, record included; units B, KB, MB, GB (1024-based,\n"
    "                          decimals allowed: 1.5MB is 1572864 bytes)\n"
    "  -n, --count COUNT       COUNT pieces of about equal size\n"
    "      --sizes A,B,...     listed piece sizes in bytes; the last piece takes what remains\n"
    "      --spanned           disk-spanned pieces, each filling the free space of the destination;\n"
    "                          asks on the terminal for each disk\n"
    "                          (without -s, -n, --sizes or --spanned: about five pieces)\n"
    "  -m, --mask MASK         piece file names (default disk{num}.kxd); {num} piece number,\n"
    "                          {oru} number padded to three digits, {orf} {ofw} {ore} as above\n"
    "\n"
    "Set properties:\n"
    "      --no-header         write no records (pieces cannot be checked when joined)\n"
    "      --title T           set title (default \"Karvex Archive\")\n"
    "      --author A          author (default \"Karvex 2.0.0\")\n"
    "      --description D     description\n"
    "      --id ID             unique identifier of the set (default: a new GUID)\n"
    "      --first-reserve N   bytes to leave free on the volume of piece 1\n"
    "      --reserve N         bytes to leave free on the volume of every other piece\n"
    "      --no-sfu            write no self-uniting program\n"
    "  -q, --quiet             print nothing but errors\n"
    "\n"
    "Exit status: 0 when every piece was written, 1 on any failure, 2 on a usage error.\n";

}  // namespace kvx::cli
