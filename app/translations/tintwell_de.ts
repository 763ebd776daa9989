<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Help</name>
    <message>
        <source>The help file &quot;%1&quot; could not be opened.</source>
        <translation>Die Hilfedatei „%1“ konnte nicht geöffnet werden.</translation>
    </message>
</context>
<context>
    <name>Links</name>
    <message>
        <source>The operating system is out of memory or resources.</source>
        <translation>Dem Betriebssystem fehlen Speicher oder Ressourcen.</translation>
    </message>
    <message>
        <source>The specified file was not found.</source>
        <translation>Die angegebene Datei wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>The specified path was not found.</source>
        <translation>Der angegebene Pfad wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>The operating system denied access to the specified file.</source>
        <translation>Das Betriebssystem hat den Zugriff auf die angegebene Datei verweigert.</translation>
    </message>
    <message>
        <source>There was not enough memory to complete the operation.</source>
        <translation>Der Speicher reichte nicht aus, um den Vorgang abzuschließen.</translation>
    </message>
    <message>
        <source>The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).</source>
        <translation>Die .EXE-Datei ist ungültig (keine Win32-.EXE oder Fehler im .EXE-Abbild).</translation>
    </message>
    <message>
        <source>A sharing violation occurred.</source>
        <translation>Es ist eine Freigabeverletzung aufgetreten.</translation>
    </message>
    <message>
        <source>The filename association is incomplete or invalid.</source>
        <translation>Die Zuordnung des Dateinamens ist unvollständig oder ungültig.</translation>
    </message>
    <message>
        <source>The DDE transaction could not be completed because the request timed out.</source>
        <translation>Die DDE-Transaktion konnte nicht abgeschlossen werden, weil die Anfrage zu lange dauerte.</translation>
    </message>
    <message>
        <source>The DDE transaction failed.</source>
        <translation>Die DDE-Transaktion ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>The DDE transaction could not be completed because other DDE transactions were being processed.</source>
        <translation>Die DDE-Transaktion konnte nicht abgeschlossen werden, weil andere DDE-Transaktionen bearbeitet wurden.</translation>
    </message>
    <message>
        <source>There is no application associated with the given filename extension.</source>
        <translation>Der angegebenen Dateiendung ist kein Programm zugeordnet.</translation>
    </message>
    <message>
        <source>The specified dynamic-link library was not found.</source>
        <translation>Die angegebene Programmbibliothek wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>Unknown Error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
    <message>
        <source>Error opening URL in browser.<byte value="xd"/>
ShellExecute returned code %1: %2</source>
        <translation>Fehler beim Öffnen der Adresse im Browser.<byte value="xd"/>
ShellExecute gab den Code %1 zurück: %2</translation>
    </message>
    <message>
        <source>ShellExecute Error</source>
        <translation>ShellExecute-Fehler</translation>
    </message>
</context>
<context>
    <name>Logic</name>
    <message>
        <source>Could not open %1: %2</source>
        <translation>%1 konnte nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>Could not read %1: %2</source>
        <translation>%1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>File became shorter while reading %1: %2</source>
        <translation>Die Datei %1 wurde beim Lesen kürzer: %2</translation>
    </message>
    <message>
        <source>Could not write %1: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Could not create a temporary file for %1: %2</source>
        <translation>Für %1 konnte keine temporäre Datei angelegt werden: %2</translation>
    </message>
    <message>
        <source>Could not copy into %1: %2</source>
        <translation>In %1 konnte nicht kopiert werden: %2</translation>
    </message>
    <message>
        <source>Source became shorter while copying into %1: %2</source>
        <translation>Die Quelle wurde beim Kopieren nach %1 kürzer: %2</translation>
    </message>
    <message>
        <source>Could not set the permissions of %1: %2</source>
        <translation>Die Zugriffsrechte von %1 konnten nicht gesetzt werden: %2</translation>
    </message>
    <message>
        <source>Could not copy the permissions of %1: %2</source>
        <translation>Die Zugriffsrechte von %1 konnten nicht übernommen werden: %2</translation>
    </message>
    <message>
        <source>Could not keep the attribute %1 of %2: %3</source>
        <translation>Das Attribut %1 von %2 konnte nicht erhalten werden: %3</translation>
    </message>
    <message>
        <source>Could not flush %1: %2</source>
        <translation>%1 konnte nicht auf den Datenträger geschrieben werden: %2</translation>
    </message>
    <message>
        <source>%1 (the file size limit was reached)</source>
        <translation>%1 (die Grenze der Dateigröße wurde erreicht)</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>There is not enough memory to load the image (%1 x %2 pixels).</source>
        <translation>Der Speicher reicht nicht, um das Bild zu laden (%1 x %2 Pixel).</translation>
    </message>
    <message>
        <source>Did not find bitmap file tag.</source>
        <translation>Die Kennung einer Bitmap-Datei wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>Unsupported bitmap header size: %1</source>
        <translation>Nicht unterstützte Größe des Bitmap-Kopfes: %1</translation>
    </message>
    <message>
        <source>Bitmap header is cut short.</source>
        <translation>Der Bitmap-Kopf ist abgeschnitten.</translation>
    </message>
    <message>
        <source>Unsupported compression type: 0x%1</source>
        <translation>Nicht unterstützte Kompressionsart: 0x%1</translation>
    </message>
    <message>
        <source>Pixel data would start at byte %1, past the end of the file (%2 bytes)</source>
        <translation>Die Pixeldaten würden bei Byte %1 beginnen, hinter dem Ende der Datei (%2 Bytes)</translation>
    </message>
    <message>
        <source>Pixel data offset is negative: %1</source>
        <translation>Der Beginn der Pixeldaten ist negativ: %1</translation>
    </message>
    <message>
        <source>Unsupported bit count: %1</source>
        <translation>Nicht unterstützte Bittiefe: %1</translation>
    </message>
    <message>
        <source>Invalid image width: %1</source>
        <translation>Ungültige Bildbreite: %1</translation>
    </message>
    <message>
        <source>Invalid image height: %1</source>
        <translation>Ungültige Bildhöhe: %1</translation>
    </message>
    <message>
        <source>Image is too large to address: %1 x %2</source>
        <translation>Das Bild ist zu groß, um es anzusprechen: %1 x %2</translation>
    </message>
    <message>
        <source>There is not enough memory to save the image.</source>
        <translation>Der Speicher reicht nicht, um das Bild zu speichern.</translation>
    </message>
    <message>
        <source>Bitmap is too large for a BMP file.</source>
        <translation>Die Bitmap ist zu groß für eine BMP-Datei.</translation>
    </message>
    <message>
        <source>Only the headers of this bitmap were loaded, so it cannot be saved.</source>
        <translation>Von dieser Bitmap wurden nur die Köpfe geladen, daher kann sie nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>The image&apos;s compressed pixel data is damaged (%1), so it is not written back.</source>
        <translation>Die komprimierten Pixeldaten des Bildes sind beschädigt (%1), daher wird es nicht zurückgeschrieben.</translation>
    </message>
    <message>
        <source>RLE4-compressed images cannot be saved.</source>
        <translation>RLE4-komprimierte Bilder können nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>%1 changed since it was loaded, so the bytes around its pixels cannot be saved.</source>
        <translation>%1 hat sich seit dem Laden geändert, daher können die Bytes um seine Pixel nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>%1 changed since it was loaded, or cannot be read again.</source>
        <translation>%1 hat sich seit dem Laden geändert oder kann nicht erneut gelesen werden.</translation>
    </message>
    <message>
        <source>There is not enough memory for a new image of %1 x %2 pixels.</source>
        <translation>Der Speicher reicht nicht für ein neues Bild von %1 x %2 Pixeln.</translation>
    </message>
    <message>
        <source>its header size (%1 bytes)</source>
        <translation>seine Kopfgröße (%1 Bytes)</translation>
    </message>
    <message>
        <source>its compression (%1)</source>
        <translation>seine Kompression (%1)</translation>
    </message>
    <message>
        <source>the pixel data goes on past the last row</source>
        <translation>die Pixeldaten gehen über die letzte Zeile hinaus</translation>
    </message>
    <message>
        <source>a move (delta) goes past the end of the image</source>
        <translation>ein Sprung (Delta) reicht über das Ende des Bildes hinaus</translation>
    </message>
    <message>
        <source>the pixel data is cut short</source>
        <translation>die Pixeldaten sind abgeschnitten</translation>
    </message>
    <message>
        <source>the pixel data ends without its end-of-bitmap mark</source>
        <translation>die Pixeldaten enden ohne ihre Endmarke</translation>
    </message>
    <message>
        <source>BMP is not 8-bit</source>
        <translation>BMP hat nicht 8 Bit</translation>
    </message>
    <message>
        <source>BMP is not supported</source>
        <translation>BMP wird nicht unterstützt</translation>
    </message>
    <message>
        <source>BMP not readable</source>
        <translation>BMP nicht lesbar</translation>
    </message>
    <message>
        <source>BMP is incomplete</source>
        <translation>BMP ist unvollständig</translation>
    </message>
    <message>
        <source>BMP is damaged</source>
        <translation>BMP ist beschädigt</translation>
    </message>
    <message>
        <source>BMP is too large</source>
        <translation>BMP ist zu groß</translation>
    </message>
    <message>
        <source>Out of Memory</source>
        <translation>Zu wenig Speicher</translation>
    </message>
    <message>
        <source>Not Found</source>
        <translation>Nicht gefunden</translation>
    </message>
    <message>
        <source>Backup Failed</source>
        <translation>Sicherung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Save Failed</source>
        <translation>Speichern fehlgeschlagen</translation>
    </message>
    <message>
        <source>File Busy</source>
        <translation>Datei belegt</translation>
    </message>
    <message>
        <source>File Changed</source>
        <translation>Datei geändert</translation>
    </message>
    <message>
        <source>Same File</source>
        <translation>Dieselbe Datei</translation>
    </message>
    <message>
        <source>No Backup</source>
        <translation>Keine Sicherung</translation>
    </message>
    <message>
        <source>Backup Damaged</source>
        <translation>Sicherung beschädigt</translation>
    </message>
    <message>
        <source>Backup Folder Full</source>
        <translation>Sicherungsordner voll</translation>
    </message>
    <message>
        <source>Save Color Index List</source>
        <translation>Farbindexliste speichern</translation>
    </message>
    <message>
        <source>%1 is not a 256 color BMP</source>
        <translation>%1 ist kein BMP mit 256 Farben</translation>
    </message>
    <message>
        <source>%1 is a 256 color BMP, but %2 is not supported. The file was left unchanged.</source>
        <translation>%1 ist ein BMP mit 256 Farben, aber %2 wird nicht unterstützt. Die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>%1 could not be read: %2 The file was left unchanged.</source>
        <translation>%1 konnte nicht gelesen werden: %2 Die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>%1 is cut short: its pixel data does not cover the whole image. The file was left unchanged.</source>
        <translation>%1 ist abgeschnitten: Seine Pixeldaten decken nicht das ganze Bild ab. Die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>%1 has damaged compressed pixel data: %2 The file was left unchanged.</source>
        <translation>%1 hat beschädigte komprimierte Pixeldaten: %2 Die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>%1 could not be recolored: there is not enough memory. The file was left unchanged.</source>
        <translation>%1 konnte nicht umgefärbt werden: Der Speicher reicht nicht. Die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>%1 was not recolored: the recolored file would be larger than a BMP file can describe (2 GiB). The file was left unchanged.</source>
        <translation>%1 wurde nicht umgefärbt: Die umgefärbte Datei wäre größer, als eine BMP-Datei beschreiben kann (2 GiB). Die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>%1 not found.</source>
        <translation>%1 wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>%1 was not recolored because its backup copy could not be made: %2</source>
        <translation>%1 wurde nicht umgefärbt, weil seine Sicherungskopie nicht angelegt werden konnte: %2</translation>
    </message>
    <message>
        <source>%1 could not be written: %2 The file was left unchanged.</source>
        <translation>%1 konnte nicht geschrieben werden: %2 Die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>%1 is locked by another program that is changing it, and it did not become free within 30 seconds. The file was left unchanged.</source>
        <translation>%1 ist von einem anderen Programm gesperrt, das es ändert, und wurde innerhalb von 30 Sekunden nicht frei. Die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>%1 was changed by another program while it was being recolored (%2). It was left as that program made it.</source>
        <translation>%1 wurde während des Umfärbens von einem anderen Programm geändert (%2). Es blieb so, wie jenes Programm es geschrieben hat.</translation>
    </message>
    <message>
        <source>%1 is the same file as %2 and was not recolored a second time.</source>
        <translation>%1 ist dieselbe Datei wie %2 und wurde nicht ein zweites Mal umgefärbt.</translation>
    </message>
    <message>
        <source>%1 is the same file as %2 and was not restored a second time.</source>
        <translation>%1 ist dieselbe Datei wie %2 und wurde nicht ein zweites Mal wiederhergestellt.</translation>
    </message>
    <message>
        <source>could not create the folder %1: %2</source>
        <translation>der Ordner %1 konnte nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>it appeared meanwhile</source>
        <translation>er ist inzwischen entstanden</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 ist kein Ordner</translation>
    </message>
    <message>
        <source>could not open %1: %2</source>
        <translation>%1 konnte nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>could not read %1: %2</source>
        <translation>%1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>it could not be checked</source>
        <translation>sie konnte nicht geprüft werden</translation>
    </message>
    <message>
        <source>another file took its place</source>
        <translation>eine andere Datei hat ihren Platz eingenommen</translation>
    </message>
    <message>
        <source>its size changed</source>
        <translation>ihre Größe hat sich geändert</translation>
    </message>
    <message>
        <source>it was written to</source>
        <translation>sie wurde beschrieben</translation>
    </message>
    <message>
        <source>The file became shorter while it was read.</source>
        <translation>Die Datei wurde beim Lesen kürzer.</translation>
    </message>
    <message>
        <source>Could not read the file: %1</source>
        <translation>Die Datei konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>%1 has no backup in %2.</source>
        <translation>%1 hat keine Sicherung in %2.</translation>
    </message>
    <message>
        <source>%1 was not restored: its newest backup %2 has the last number, 999, so no copy of its current contents can follow it. The file was left unchanged.</source>
        <translation>%1 wurde nicht wiederhergestellt: Seine neueste Sicherung %2 hat die letzte Nummer, 999, daher kann ihr keine Kopie seines jetzigen Inhalts folgen. Die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>%1 was not restored because its backup copy could not be made: %2</source>
        <translation>%1 wurde nicht wiederhergestellt, weil seine Sicherungskopie nicht angelegt werden konnte: %2</translation>
    </message>
    <message>
        <source>%1 was made by another program meanwhile</source>
        <translation>%1 wurde inzwischen von einem anderen Programm angelegt</translation>
    </message>
    <message>
        <source>it is not an ordinary file</source>
        <translation>sie ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>it could not be read whole</source>
        <translation>sie konnte nicht ganz gelesen werden</translation>
    </message>
    <message>
        <source>its pixel data does not cover the whole image</source>
        <translation>ihre Pixeldaten decken nicht das ganze Bild ab</translation>
    </message>
    <message>
        <source>The image&apos;s pixel data is incomplete, so its color index list cannot be written.</source>
        <translation>Die Pixeldaten des Bildes sind unvollständig, daher kann seine Farbindexliste nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The image could not be read, so its color index list cannot be written.</source>
        <translation>Das Bild konnte nicht gelesen werden, daher kann seine Farbindexliste nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The image&apos;s compressed pixel data is damaged (%1), so its color index list cannot be written.</source>
        <translation>Die komprimierten Pixeldaten des Bildes sind beschädigt (%1), daher kann seine Farbindexliste nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>There is not enough memory to write the color index list.</source>
        <translation>Der Speicher reicht nicht, um die Farbindexliste zu schreiben.</translation>
    </message>
    <message>
        <source>The color index list could not be saved.<byte value="xd"/>
%1</source>
        <translation>Die Farbindexliste konnte nicht gespeichert werden.<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>Could not save INI file.</source>
        <translation>Die INI-Datei konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>clsINI.SaveFile: %1</source>
        <translation>clsINI.SaveFile: %1</translation>
    </message>
    <message>
        <source>No file name has been set.</source>
        <translation>Es wurde kein Dateiname festgelegt.</translation>
    </message>
    <message>
        <source>%1. The file is left as it is; changes are kept for this run only.</source>
        <translation>%1. Die Datei bleibt, wie sie ist; Änderungen gelten nur für diesen Programmlauf.</translation>
    </message>
    <message>
        <source>Cannot allow saving of INI data</source>
        <translation>Speichern der INI-Daten nicht möglich</translation>
    </message>
    <message>
        <source>Cannot allow INI file saving.  Currently using an internal INI string.</source>
        <translation>Die INI-Datei kann nicht gespeichert werden.  Zurzeit wird ein interner INI-Text verwendet.</translation>
    </message>
    <message>
        <source>the compressor failed</source>
        <translation>der Kompressor ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>the compressor could not start</source>
        <translation>der Kompressor konnte nicht starten</translation>
    </message>
    <message>
        <source>it has no PNG signature</source>
        <translation>ihr fehlt die PNG-Signatur</translation>
    </message>
    <message>
        <source>animated PNG is not supported</source>
        <translation>animierte PNGs werden nicht unterstützt</translation>
    </message>
    <message>
        <source>it holds %1 pixels, not palette indices</source>
        <translation>sie enthält Pixel (%1) statt Palettenindizes</translation>
    </message>
    <message>
        <source>greyscale</source>
        <translation>Graustufen</translation>
    </message>
    <message>
        <source>truecolor</source>
        <translation>Echtfarben</translation>
    </message>
    <message>
        <source>greyscale with alpha</source>
        <translation>Graustufen mit Alpha</translation>
    </message>
    <message>
        <source>truecolor with alpha</source>
        <translation>Echtfarben mit Alpha</translation>
    </message>
    <message>
        <source>an unknown kind of</source>
        <translation>unbekannter Art</translation>
    </message>
    <message>
        <source>its image data is cut short</source>
        <translation>ihre Bilddaten sind abgeschnitten</translation>
    </message>
    <message>
        <source>it ends without an IEND chunk</source>
        <translation>sie endet ohne IEND-Block</translation>
    </message>
    <message>
        <source>a chunk at byte %1 is damaged</source>
        <translation>ein Block bei Byte %1 ist beschädigt</translation>
    </message>
    <message>
        <source>its critical chunk %1 is not known</source>
        <translation>ihr kritischer Block %1 ist unbekannt</translation>
    </message>
    <message>
        <source>it has two IHDR chunks</source>
        <translation>sie hat zwei IHDR-Blöcke</translation>
    </message>
    <message>
        <source>its IHDR chunk is damaged</source>
        <translation>ihr IHDR-Block ist beschädigt</translation>
    </message>
    <message>
        <source>its size of %1 x %2 pixels is larger than supported</source>
        <translation>ihre Größe von %1 x %2 Pixeln ist größer als unterstützt</translation>
    </message>
    <message>
        <source>its PLTE chunk is damaged</source>
        <translation>ihr PLTE-Block ist beschädigt</translation>
    </message>
    <message>
        <source>it does not start with IHDR</source>
        <translation>sie beginnt nicht mit IHDR</translation>
    </message>
    <message>
        <source>its image data is split by other chunks</source>
        <translation>ihre Bilddaten sind durch andere Blöcke geteilt</translation>
    </message>
    <message>
        <source>it has no image data</source>
        <translation>sie hat keine Bilddaten</translation>
    </message>
    <message>
        <source>its PLTE chunk follows the image data</source>
        <translation>ihr PLTE-Block folgt auf die Bilddaten</translation>
    </message>
    <message>
        <source>it has no PLTE chunk</source>
        <translation>sie hat keinen PLTE-Block</translation>
    </message>
    <message>
        <source>the file could not be read</source>
        <translation>die Datei konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>an IDAT chunk is damaged (bad CRC)</source>
        <translation>ein IDAT-Block ist beschädigt (falsche Prüfsumme)</translation>
    </message>
    <message>
        <source>its image data cannot be decoded</source>
        <translation>ihre Bilddaten können nicht dekodiert werden</translation>
    </message>
    <message>
        <source>the decompressor could not start</source>
        <translation>der Dekompressor konnte nicht starten</translation>
    </message>
    <message>
        <source>its image data holds more rows than the image</source>
        <translation>ihre Bilddaten enthalten mehr Zeilen als das Bild</translation>
    </message>
    <message>
        <source>the pixel at %1, %2 would get index %3, but %4</source>
        <translation>das Pixel bei %1, %2 bekäme den Index %3, aber %4</translation>
    </message>
    <message>
        <source>its palette holds only %1 colors</source>
        <translation>ihre Palette enthält nur %1 Farben</translation>
    </message>
    <message>
        <source>its %1-bit pixels hold only indices below %2</source>
        <translation>ihre %1-Bit-Pixel fassen nur Indizes unter %2</translation>
    </message>
    <message>
        <source>%1 was not restored: its backup %2 is not a readable %3 (%4). The file was left unchanged.</source>
        <translation>%1 wurde nicht wiederhergestellt: Seine Sicherung %2 ist kein lesbares %3 (%4). Die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>PNG is not indexed</source>
        <translation>PNG ist nicht indiziert</translation>
    </message>
    <message>
        <source>PNG is damaged</source>
        <translation>PNG ist beschädigt</translation>
    </message>
    <message>
        <source>PNG is not supported</source>
        <translation>PNG wird nicht unterstützt</translation>
    </message>
    <message>
        <source>Index does not fit</source>
        <translation>Index passt nicht</translation>
    </message>
    <message>
        <source>%1 is not an indexed-color PNG: %2 The file was left unchanged.</source>
        <translation>%1 ist kein PNG mit indizierten Farben: %2 Die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>%1 is damaged: %2 The file was left unchanged.</source>
        <translation>%1 ist beschädigt: %2 Die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>%1 was not recolored: %2 The file was left unchanged.</source>
        <translation>%1 wurde nicht umgefärbt: %2 Die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>%1 is not a palette index 0 to 255 or a range of them such as 16-31</source>
        <translation>%1 ist kein Palettenindex von 0 bis 255 und kein Bereich davon wie 16-31</translation>
    </message>
    <message>
        <source>%1 is not a pair SOURCE:TARGET such as 3:7 or 16-31:32-47</source>
        <translation>%1 ist kein Paar QUELLE:ZIEL wie 3:7 oder 16-31:32-47</translation>
    </message>
    <message>
        <source>the two sides of %1 differ in length (%2 and %3 indices)</source>
        <translation>die beiden Seiten von %1 sind verschieden lang (%2 und %3 Indizes)</translation>
    </message>
    <message>
        <source>index %1 is mapped twice (to %2 and to %3)</source>
        <translation>Index %1 ist zweimal zugeordnet (zu %2 und zu %3)</translation>
    </message>
</context>
<context>
    <name>Picture</name>
    <message>
        <source>The image&apos;s bit count (%1) cannot be shown.</source>
        <translation>Die Bittiefe des Bildes (%1) kann nicht angezeigt werden.</translation>
    </message>
    <message>
        <source>The image is too large to show (%1 x %2 pixels).</source>
        <translation>Das Bild ist zu groß für die Anzeige (%1 x %2 Pixel).</translation>
    </message>
    <message>
        <source>The image&apos;s pixel data is shorter than the image.</source>
        <translation>Die Pixeldaten des Bildes sind kürzer als das Bild.</translation>
    </message>
</context>
<context>
    <name>Progress</name>
    <message>
        <source>Restoring</source>
        <translation>Wiederherstellen:</translation>
    </message>
    <message>
        <source>%1 %2 (%3 of %4)</source>
        <translation>%1 %2 (%3 von %4)</translation>
    </message>
    <message>
        <source>Recoloring</source>
        <translation>Umfärben:</translation>
    </message>
</context>
<context>
    <name>QProgressDialog</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>tintwell::ColorMapMenus</name>
    <message>
        <source>&amp;Color Map</source>
        <translation>&amp;Farbzuordnung</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>&amp;Load</source>
        <translation>&amp;Laden</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Reset</source>
        <translation>&amp;Zurücksetzen</translation>
    </message>
    <message>
        <source>What do you want to call this color map?</source>
        <translation>Wie soll diese Farbzuordnung heißen?</translation>
    </message>
    <message>
        <source>Save Color Map</source>
        <translation>Farbzuordnung speichern</translation>
    </message>
    <message>
        <source>You currently have a color map called &quot;%1&quot;. Overwrite?</source>
        <translation>Es gibt bereits eine Farbzuordnung namens „%1“. Überschreiben?</translation>
    </message>
    <message>
        <source>Overwrite Color Map</source>
        <translation>Farbzuordnung überschreiben</translation>
    </message>
    <message>
        <source>Are you sure you want to delete &quot;%1&quot;?</source>
        <translation>Soll „%1“ wirklich gelöscht werden?</translation>
    </message>
    <message>
        <source>Delete Color Map</source>
        <translation>Farbzuordnung löschen</translation>
    </message>
    <message>
        <source>Save current color map?</source>
        <translation>Aktuelle Farbzuordnung speichern?</translation>
    </message>
    <message>
        <source>Save Color Map?</source>
        <translation>Farbzuordnung speichern?</translation>
    </message>
    <message>
        <source>Show &amp;Pairs</source>
        <translation>Paare &amp;zeigen</translation>
    </message>
    <message>
        <source>&amp;Map Pairs...</source>
        <translation>Paare zu&amp;ordnen...</translation>
    </message>
    <message>
        <source>The color map as pairs of the command line&apos;s --pairs, to copy:</source>
        <translation>Die Farbzuordnung als Paare wie bei --pairs der Kommandozeile, zum Kopieren:</translation>
    </message>
    <message>
        <source>Show Pairs</source>
        <translation>Paare zeigen</translation>
    </message>
    <message>
        <source>Pairs to map, SOURCE:TARGET with indices or ranges (3:7,16-31:32-47):</source>
        <translation>Zuzuordnende Paare, QUELLE:ZIEL mit Indizes oder Bereichen (3:7,16-31:32-47):</translation>
    </message>
    <message>
        <source>Map Pairs</source>
        <translation>Paare zuordnen</translation>
    </message>
    <message>
        <source>The pairs were not mapped: %1.</source>
        <translation>Die Paare wurden nicht zugeordnet: %1.</translation>
    </message>
</context>
<context>
    <name>tintwell::FileDialogCommands</name>
    <message>
        <source>Select a folder</source>
        <translation>Ordner auswählen</translation>
    </message>
    <message>
        <source>No image selected</source>
        <translation>Kein Bild ausgewählt</translation>
    </message>
    <message>
        <source>Text files (*.txt)|*.txt|All files (*.*)|*.*</source>
        <translation>Textdateien (*.txt)|*.txt|Alle Dateien (*.*)|*.*</translation>
    </message>
    <message>
        <source>Save color index list</source>
        <translation>Farbindexliste speichern</translation>
    </message>
    <message>
        <source>Save Color &amp;Index List</source>
        <translation>Farb&amp;indexliste speichern</translation>
    </message>
</context>
<context>
    <name>tintwell::OpenCommands</name>
    <message>
        <source>&quot;%1&quot; is neither a folder nor a BMP file.</source>
        <translation>„%1“ ist weder ein Ordner noch eine BMP-Datei.</translation>
    </message>
    <message>
        <source>The files given are not BMP files of one folder.</source>
        <translation>Die angegebenen Dateien sind keine BMP-Dateien eines einzigen Ordners.</translation>
    </message>
    <message>
        <source>Cannot Open</source>
        <translation>Öffnen nicht möglich</translation>
    </message>
</context>
<context>
    <name>tintwell::PaletteGrid</name>
    <message>
        <source>%1 pixel</source>
        <translation>%1 Pixel</translation>
    </message>
    <message>
        <source>%1 pixels</source>
        <translation>%1 Pixel</translation>
    </message>
</context>
<context>
    <name>tintwell::RecentFoldersMenu</name>
    <message>
        <source>&amp;Open Folder...</source>
        <translation>Ordner ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>Recent &amp;Folders</source>
        <translation>&amp;Zuletzt geöffnete Ordner</translation>
    </message>
</context>
<context>
    <name>tintwell::RestoreCommand</name>
    <message>
        <source>&amp;Restore Selected BMPs from Backup</source>
        <translation>Ausgewählte BMPs aus Sicherung &amp;wiederherstellen</translation>
    </message>
    <message>
        <source>Restore from Backup</source>
        <translation>Aus Sicherung wiederherstellen</translation>
    </message>
    <message>
        <source>Restored %1 of %2 BMPs from backup.</source>
        <translation>%1 von %2 BMPs aus der Sicherung wiederhergestellt.</translation>
    </message>
    <message>
        <source>Restore 1 selected BMP from its newest backup? The file is backed up first, so restoring again undoes this.</source>
        <translation>Das ausgewählte BMP aus seiner neuesten Sicherung wiederherstellen? Die Datei wird zuerst gesichert, ein erneutes Wiederherstellen macht dies also rückgängig.</translation>
    </message>
    <message>
        <source>Restore %1 selected BMPs from their newest backups? Each file is backed up first, so restoring again undoes this.</source>
        <translation>%1 ausgewählte BMPs aus ihren neuesten Sicherungen wiederherstellen? Jede Datei wird zuerst gesichert, ein erneutes Wiederherstellen macht dies also rückgängig.</translation>
    </message>
</context>
<context>
    <name>tintwell::UndoCommands</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>R&amp;edo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
</context>
<context>
    <name>tintwell::clsHelpViewer</name>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>&amp;Forward</source>
        <translation>&amp;Vorwärts</translation>
    </message>
    <message>
        <source>Tintwell Help</source>
        <translation>Tintwell-Hilfe</translation>
    </message>
</context>
<context>
    <name>tintwell::frm</name>
    <message>
        <source>Selected</source>
        <translation>Ausgewählt</translation>
    </message>
    <message>
        <source>Mouse Over</source>
        <translation>Unter der Maus</translation>
    </message>
    <message>
        <source>Mapping To</source>
        <translation>Wird zu</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>This folder holds no BMP files.</source>
        <translation>Dieser Ordner enthält keine BMP-Dateien.</translation>
    </message>
    <message>
        <source>Cannot load palette: %1.</source>
        <translation>Die Palette kann nicht geladen werden: %1.</translation>
    </message>
    <message>
        <source>Cannot load palette. BMP is not 8 bit (256 colors).</source>
        <translation>Die Palette kann nicht geladen werden. Das BMP hat nicht 8 Bit (256 Farben).</translation>
    </message>
    <message>
        <source>Recoloration complete</source>
        <translation>Umfärben abgeschlossen</translation>
    </message>
    <message>
        <source>Show &amp;Preview</source>
        <translation>&amp;Vorschau zeigen</translation>
    </message>
    <message>
        <source>&amp;Backup BMPs</source>
        <translation>BMPs &amp;sichern</translation>
    </message>
    <message>
        <source>Recolor &amp;outside of selection</source>
        <translation>&amp;Außerhalb der Auswahl umfärben</translation>
    </message>
    <message>
        <source>&amp;Dim Unused Colors</source>
        <translation>Ungenutzte Farben ab&amp;dunkeln</translation>
    </message>
    <message>
        <source>Refresh File &amp;List</source>
        <translation>Liste neu &amp;laden</translation>
    </message>
    <message>
        <source>&amp;Recolor Selected BMPs</source>
        <translation>Ausgewählte BMPs &amp;umfärben</translation>
    </message>
    <message>
        <source>%1 - PNG not readable</source>
        <translation>%1 - PNG nicht lesbar</translation>
    </message>
    <message>
        <source>%1 - BMP is not 8-bit</source>
        <translation>%1 - BMP hat nicht 8 Bit</translation>
    </message>
</context>
<context>
    <name>tintwell::frmAbout</name>
    <message>
        <source>Version %1.%2.%3</source>
        <translation>Version %1.%2.%3</translation>
    </message>
    <message>
        <source>website:</source>
        <translation>Website:</translation>
    </message>
    <message>
        <source>email:</source>
        <translation>E-Mail:</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Tintwell is an easy-to-use 8-bit (256 color) BMP recoloration program.</source>
        <translation>Tintwell ist ein einfach zu bedienendes Programm zum Umfärben von 8-Bit-BMPs (256 Farben).</translation>
    </message>
    <message>
        <source>Warning: Not responsible for any lost data.  Be sure to make back up copies.</source>
        <translation>Warnung: Keine Haftung für verlorene Daten.  Legen Sie unbedingt Sicherungskopien an.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
</context>
<context>
    <name>tintwell::frmView</name>
    <message>
        <source>Zoom:</source>
        <translation>Zoom:</translation>
    </message>
    <message>
        <source>Position:</source>
        <translation>Position:</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be previewed. %2</source>
        <translation>„%1“ kann nicht in der Vorschau gezeigt werden. %2</translation>
    </message>
</context>
</TS>
