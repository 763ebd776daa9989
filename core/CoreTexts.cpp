#include "core/CoreTexts.h"

namespace tintwell {

std::span<const char* const> CoreTexts() {
    static const char* const texts[] = {
        // Titles.
        TINTWELL_TEXT("Logic", "BMP is not 8-bit"),
        TINTWELL_TEXT("Logic", "BMP is not supported"),
        TINTWELL_TEXT("Logic", "BMP not readable"),
        TINTWELL_TEXT("Logic", "BMP is incomplete"),
        TINTWELL_TEXT("Logic", "BMP is damaged"),
        TINTWELL_TEXT("Logic", "Out of Memory"),
        TINTWELL_TEXT("Logic", "Not Found"),
        TINTWELL_TEXT("Logic", "Backup Failed"),
        TINTWELL_TEXT("Logic", "Save Failed"),
        TINTWELL_TEXT("Logic", "File Busy"),
        TINTWELL_TEXT("Logic", "File Changed"),
        TINTWELL_TEXT("Logic", "Same File"),
        TINTWELL_TEXT("Logic", "No Backup"),
        TINTWELL_TEXT("Logic", "Backup Damaged"),
        TINTWELL_TEXT("Logic", "Backup Folder Full"),
        TINTWELL_TEXT("Logic", "Save Color Index List"),
        // Texts.
        TINTWELL_TEXT("Logic", "%1 is not a 256 color BMP"),
        TINTWELL_TEXT("Logic",
                      "%1 is a 256 color BMP, but %2 is not supported. The file was left "
                      "unchanged."),
        TINTWELL_TEXT("Logic", "%1 could not be read: %2 The file was left unchanged."),
        TINTWELL_TEXT("Logic",
                      "%1 is cut short: its pixel data does not cover the whole image. The file "
                      "was left unchanged."),
        TINTWELL_TEXT("Logic",
                      "%1 has damaged compressed pixel data: %2 The file was left unchanged."),
        TINTWELL_TEXT("Logic",
                      "%1 could not be recolored: there is not enough memory. The file was left "
                      "unchanged."),
        TINTWELL_TEXT("Logic", "%1 not found."),
        TINTWELL_TEXT("Logic",
                      "%1 was not recolored because its backup copy could not be made: %2"),
        TINTWELL_TEXT("Logic", "%1 could not be written: %2 The file was left unchanged."),
        TINTWELL_TEXT("Logic",
                      "%1 is locked by another program that is changing it, and it did not "
                      "become free within 30 seconds. The file was left unchanged."),
        TINTWELL_TEXT("Logic",
                      "%1 was changed by another program while it was being recolored (%2). It "
                      "was left as that program made it."),
        TINTWELL_TEXT("Logic", "%1 is the same file as %2 and was not recolored a second time."),
        TINTWELL_TEXT("Logic", "%1 is the same file as %2 and was not restored a second time."),
        TINTWELL_TEXT("Logic", "could not create the folder %1: %2"),
        TINTWELL_TEXT("Logic", "it appeared meanwhile"),
        TINTWELL_TEXT("Logic", "%1 is not a folder"),
        TINTWELL_TEXT("Logic", "could not open %1: %2"),
        TINTWELL_TEXT("Logic", "could not read %1: %2"),
        TINTWELL_TEXT("Logic", "it could not be checked"),
        TINTWELL_TEXT("Logic", "another file took its place"),
        TINTWELL_TEXT("Logic", "its size changed"),
        TINTWELL_TEXT("Logic", "it was written to"),
        TINTWELL_TEXT("Logic", "The file became shorter while it was read."),
        TINTWELL_TEXT("Logic", "Could not read the file: %1"),
        TINTWELL_TEXT("Logic", "%1 has no backup in %2."),
        TINTWELL_TEXT("Logic",
                      "%1 was not restored: its backup %2 is not a readable %3 (%4). The file "
                      "was left unchanged."),
        TINTWELL_TEXT("Logic", "PNG is not indexed"),
        TINTWELL_TEXT("Logic", "PNG is damaged"),
        TINTWELL_TEXT("Logic", "PNG is not supported"),
        TINTWELL_TEXT("Logic", "Index does not fit"),
        TINTWELL_TEXT("Logic", "%1 is not an indexed-color PNG: %2 The file was left unchanged."),
        TINTWELL_TEXT("Logic", "%1 is damaged: %2 The file was left unchanged."),
        TINTWELL_TEXT("Logic", "%1 was not recolored: %2 The file was left unchanged."),
        TINTWELL_TEXT("Logic",
                      "%1 was not restored: its newest backup %2 has the last number, 999, so no "
                      "copy of its current contents can follow it. The file was left unchanged."),
        TINTWELL_TEXT("Logic", "%1 was not restored because its backup copy could not be made: %2"),
        TINTWELL_TEXT("Logic", "%1 was made by another program meanwhile"),
        TINTWELL_TEXT("Logic", "it is not an ordinary file"),
        TINTWELL_TEXT("Logic", "it could not be read whole"),
        TINTWELL_TEXT("Logic", "its pixel data does not cover the whole image"),
        TINTWELL_TEXT("Logic",
                      "The image's pixel data is incomplete, so its color index list cannot be "
                      "written."),
        TINTWELL_TEXT("Logic",
                      "The image could not be read, so its color index list cannot be written."),
        TINTWELL_TEXT("Logic",
                      "The image's compressed pixel data is damaged (%1), so its color index "
                      "list cannot be written."),
        TINTWELL_TEXT("Logic", "There is not enough memory to write the color index list."),
        TINTWELL_TEXT("Logic", "The color index list could not be saved.\r\n%1"),
    };
    return texts;
}

}  // namespace tintwell
