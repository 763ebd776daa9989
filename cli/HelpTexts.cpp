#include "cli/HelpTexts.h"

namespace tintwell::cli {

std::string HelpText(const std::string& command) {
    if (command.empty())
        return R"(Usage: tintwell-cli COMMAND [OPTIONS] [ARGUMENTS]

Recolors 8-bit BMP images and indexed PNG images by palette index, exactly as
the Tintwell window does: the same files, backups, refusals and bytes.

Commands:
  recolor PATH...            recolor BMP and PNG files and folders in place
  export-indices IMAGE       write the image's color index list
  maps                       list the color maps stored in Tintwell.ini
  show-map NAME              show the entries of a stored color map
  info IMAGE...              describe image files and whether they can be recolored
  restore PATH...            put back the newest backups of BMP and PNG files

Run "tintwell-cli COMMAND --help" for the options of a command.
"tintwell-cli info --settings-path" prints where the settings file is.

Exit status: 0 when everything was done, 1 when some file was refused or
could not be handled, 2 for a usage error (nothing was done).
)";
    if (command == "recolor")
        return R"(Usage: tintwell-cli recolor (--map NAME | --pairs LIST)... [OPTIONS] PATH...

Rewrites the palette indices of 8-bit BMP files and indexed PNG files (1, 2,
4 or 8 bits, interlaced or not) through a color map, in place. The palette
colors are never changed; a PNG keeps every chunk but its image data byte for
byte. A folder stands for its *.bmp and *.png files (matched without regard to
case); other paths are taken as files.

Color map (at least one; --pairs apply on top of --map):
  -m, --map NAME         a color map stored in Tintwell.ini, found by name
                         (exact match first, else without regard to case)
  -p, --pairs LIST       SOURCE:TARGET pairs, comma-separated, of indices
                         0-255 or ranges of equal length: 3:7,200:0,16-31:32-47
                         (may be given more than once)
Options:
  -s, --settings FILE    the Tintwell.ini to read (default: the one the
                         window uses, see "info --settings-path")
      --backup           copy each file into "Tintwell Backup" beside it first
      --no-backup        no backup copies (default: the settings file's
                         "Backup BMPs" option, which is on when not set)
      --select X,Y,W,H   recolor only the rectangle of W x H pixels whose top
                         left pixel is X,Y (a 1,1 size means the whole image)
      --outside          recolor everything outside the --select rectangle
  -r, --recursive        also recolor the subfolders of folders (backup
                         folders are skipped)
  -j, --jobs N           recolor N files at a time (default: one per core);
                         the messages keep the order of the files
  -q, --quiet            no summary line
  -h, --help             show this help

Each refused file gives one line on standard error with the message the
window shows; a summary line follows on standard output. On a terminal a
progress line is shown during long runs.
Exit status: 0 all files recolored, 1 some refused, 2 usage error.
)";
    if (command == "export-indices")
        return R"(Usage: tintwell-cli export-indices IMAGE [-o FILE]

Writes the palette index of every pixel of an 8-bit BMP image or an indexed
PNG image as a text table,
byte for byte as the window's "Save Color Index List" does: one line per
pixel row from the top, each index right-aligned in three characters and
followed by a comma, each line ending in CR LF. The indices are those of the
file as it is on disk.

Options:
  -o, --output FILE      write the list to FILE (replaced whole, never left
                         half-written; a device, pipe or socket is written
                         as it is); default: standard output
  -h, --help             show this help

Exit status: 0 written, 1 the image is not an 8-bit BMP or an indexed PNG or
could not be read
or the list could not be written, 2 usage error.
)";
    if (command == "maps")
        return R"(Usage: tintwell-cli maps [--settings FILE]

Lists the color maps stored in Tintwell.ini: their number, how many of the
256 entries change a color, and their name.

Options:
  -s, --settings FILE    the Tintwell.ini to read (default: the one the
                         window uses, see "info --settings-path")
  -h, --help             show this help
)";
    if (command == "show-map")
        return R"(Usage: tintwell-cli show-map NAME [--settings FILE]

Shows the entries of a stored color map that change a color, one
"SOURCE -> TARGET" line each. The name is matched exactly first, else without
regard to case.

Options:
  -s, --settings FILE    the Tintwell.ini to read (default: the one the
                         window uses, see "info --settings-path")
  -h, --help             show this help
)";
    if (command == "info")
        return R"(Usage: tintwell-cli info IMAGE...
       tintwell-cli info --settings-path

Describes BMP files: header kind and size, compression, size, bit count, row
order, color-table entries, pixel data (an RLE stream is read through for its
length and any damage), and whether Tintwell can recolor the file (and if
not, the message the window gives). Only the headers and the color table are
held in memory. For a PNG file: size, bit depth, color type, interlace,
palette length, transparency (tRNS), the chunks in order and any bytes after
IEND; its image data is decoded through (never held) to check it.

Options:
      --settings-path    print the path of the Tintwell.ini that the window
                         uses and the other commands read by default: beside
                         the program when it is there or that folder can be
                         written, else $XDG_CONFIG_HOME/Tintwell (by default
                         ~/.config/Tintwell)
  -h, --help             show this help

Exit status: 0 every file can be recolored, 1 some cannot, 2 usage error.
)";
    if (command == "restore")
        return R"(Usage: tintwell-cli restore [OPTIONS] PATH...

Puts back, for each BMP or PNG file, its newest backup from the "Tintwell
Backup" folder beside it: the copy made last (name.bmp, name-001.bmp, ...,
or name-001.png, ...), whatever its number. The file's current contents are
first backed up like a recolor does, so restoring again undoes a restore; the
backup that was put back is kept. Files are replaced whole, never left
half-written, and a file another program writes meanwhile is left as that
program made it. A backup that is not a readable BMP (or PNG) is refused and
its file left as it is. A folder stands for its *.bmp and *.png files.

Options:
  -n, --dry-run          only say what would be restored
  -r, --recursive        also the subfolders of folders (backup folders are
                         skipped)
  -q, --quiet            print only the files that could not be restored
  -h, --help             show this help

Each restored file gives a line on standard output, each refused one a line
on standard error saying why; a summary line follows.
Exit status: 0 all files restored, 1 some refused, 2 usage error.
)";
    return {};
}

}  // namespace tintwell::cli
