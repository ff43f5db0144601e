<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>About</name>
    <message>
        <source>Draws random string-art figures, one at each press of &quot;new&quot;.</source>
        <translation>Zeichnet zufällige Fadenbilder, eines bei jedem Druck auf „new“.</translation>
    </message>
    <message>
        <source>Free software under the MIT licence.</source>
        <translation>Freie Software unter der MIT-Lizenz.</translation>
    </message>
    <message>
        <source>Its files</source>
        <translation>Seine Dateien</translation>
    </message>
    <message>
        <source>Journal of figures</source>
        <translation>Tagebuch der Figuren</translation>
    </message>
    <message>
        <source>none kept</source>
        <translation>keines geführt</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Wallpapers</source>
        <translation>Hintergrundbilder</translation>
    </message>
    <message>
        <source>Pictures and files for paper</source>
        <translation>Bilder und Dateien für Papier</translation>
    </message>
    <message>
        <source>Animations</source>
        <translation>Animationen</translation>
    </message>
    <message>
        <source>About stringart</source>
        <translation>Über stringart</translation>
    </message>
</context>
<context>
    <name>GalleryKeys</name>
    <message>
        <source>move; with Ctrl or Shift, or a click with them, select more</source>
        <translation>bewegen; mit Strg oder Umschalt, oder einem Klick mit ihnen, mehr auswählen</translation>
    </message>
    <message>
        <source>show the figure in the main window (a double click too)</source>
        <translation>die Figur im Hauptfenster zeigen (auch ein Doppelklick)</translation>
    </message>
    <message>
        <source>mark or unmark the selected figures (a click on the star too)</source>
        <translation>die ausgewählten Figuren markieren oder die Markierung aufheben (auch ein Klick auf den Stern)</translation>
    </message>
    <message>
        <source>write the figure&apos;s note; Enter keeps it, Esc leaves it</source>
        <translation>die Notiz der Figur schreiben; Eingabe behält sie, Esc verwirft sie</translation>
    </message>
    <message>
        <source>search the notes; Esc clears the search</source>
        <translation>die Notizen durchsuchen; Esc leert die Suche</translation>
    </message>
    <message>
        <source>take the selected figures out of the gallery</source>
        <translation>die ausgewählten Figuren aus der Galerie nehmen</translation>
    </message>
    <message>
        <source>undo the last removal, marking or note</source>
        <translation>das letzte Entfernen, Markieren oder die letzte Notiz rückgängig machen</translation>
    </message>
    <message>
        <source>save the picture</source>
        <translation>das Bild speichern</translation>
    </message>
    <message>
        <source>save the selected figures, or all favourites, as a figures file</source>
        <translation>die ausgewählten Figuren, oder alle Favoriten, als Figurendatei speichern</translation>
    </message>
    <message>
        <source>open a figures file: its figures join the journal</source>
        <translation>eine Figurendatei öffnen: ihre Figuren kommen ins Journal</translation>
    </message>
    <message>
        <source>save the morph between the two selected figures</source>
        <translation>die Überblendung zwischen den beiden ausgewählten Figuren speichern</translation>
    </message>
    <message>
        <source>the menu</source>
        <translation>das Menü</translation>
    </message>
    <message>
        <source>close the gallery</source>
        <translation>die Galerie schließen</translation>
    </message>
    <message>
        <source>redo what was undone</source>
        <translation>das Rückgängiggemachte wiederherstellen</translation>
    </message>
</context>
<context>
    <name>OptionGrammar</name>
    <message>
        <source>{least} to {most}</source>
        <translation>{least} bis {most}</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>und %n weitere</numerusform>
            <numerusform>und %n weitere</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Reasons</name>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 lässt sich nicht schreiben: %2</translation>
    </message>
    <message>
        <source>cannot save %1: %2</source>
        <translation>%1 lässt sich nicht speichern: %2</translation>
    </message>
    <message>
        <source>cannot save %1: the name must end in .png or .svg</source>
        <translation>%1 lässt sich nicht speichern: Der Name muss auf .png oder .svg enden</translation>
    </message>
    <message>
        <source>it is a directory</source>
        <translation>es ist ein Verzeichnis</translation>
    </message>
    <message>
        <source>folder %1 does not exist</source>
        <translation>den Ordner %1 gibt es nicht</translation>
    </message>
    <message>
        <source>folder %1 is not writable</source>
        <translation>in den Ordner %1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>it is a folder, not a regular file</source>
        <translation>es ist ein Ordner, keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>it is a pipe (FIFO), not a regular file</source>
        <translation>es ist eine Pipe (FIFO), keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>it is a socket, not a regular file</source>
        <translation>es ist ein Socket, keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>it is a device, not a regular file</source>
        <translation>es ist ein Gerät, keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>nothing written</source>
        <translation>nichts geschrieben</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>nicht genug Speicher</translation>
    </message>
    <message>
        <source>not enough memory for %1 x %2 pixels</source>
        <translation>nicht genug Speicher für %1 x %2 Pixel</translation>
    </message>
    <message>
        <source>not enough memory for the page</source>
        <translation>nicht genug Speicher für die Seite</translation>
    </message>
    <message>
        <source>not enough memory to write the picture</source>
        <translation>nicht genug Speicher, um das Bild zu schreiben</translation>
    </message>
    <message>
        <source>cannot make the folder %1: %2</source>
        <translation>der Ordner %1 lässt sich nicht anlegen: %2</translation>
    </message>
    <message>
        <source>there is no screen to set a wallpaper on</source>
        <translation>es gibt keinen Bildschirm, auf dem ein Hintergrundbild festgelegt werden könnte</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>%1 lässt sich nicht öffnen: %2</translation>
    </message>
    <message>
        <source>cannot open %1: only .png, .svg, .mp4, .webm, .hpgl, .plt, .gcode and .pdf files written by stringart carry a figure</source>
        <translation>%1 lässt sich nicht öffnen: Nur .png-, .svg-, .mp4-, .webm-, .hpgl-, .plt-, .gcode- und .pdf-Dateien, die stringart geschrieben hat, tragen eine Figur</translation>
    </message>
    <message>
        <source>cannot open %1: it carries no stringart-render command; only pictures saved by stringart do</source>
        <translation>%1 lässt sich nicht öffnen: Sie trägt keinen stringart-render-Befehl; das tun nur Bilder, die stringart gespeichert hat</translation>
    </message>
    <message>
        <source>cannot open %1: its stringart-render command is damaged: %2</source>
        <translation>%1 lässt sich nicht öffnen: Ihr stringart-render-Befehl ist beschädigt: %2</translation>
    </message>
    <message>
        <source>cannot import %1: %2; nothing was added.</source>
        <translation>%1 lässt sich nicht importieren: %2; es wurde nichts hinzugefügt.</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>es ist ein Ordner</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>es ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>it is a pipe (FIFO), not a file</source>
        <translation>es ist eine Pipe (FIFO), keine Datei</translation>
    </message>
    <message>
        <source>it is a socket, not a file</source>
        <translation>es ist ein Socket, keine Datei</translation>
    </message>
    <message>
        <source>it is a device, not a file</source>
        <translation>es ist ein Gerät, keine Datei</translation>
    </message>
    <message>
        <source>it is larger than %1 MiB</source>
        <translation>sie ist größer als %1 MiB</translation>
    </message>
    <message>
        <source>the file ends early</source>
        <translation>die Datei endet zu früh</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <translation>die Datei lässt sich nicht lesen</translation>
    </message>
    <message>
        <source>the text it carries is longer than %1 KiB</source>
        <translation>der Text, den sie trägt, ist länger als %1 KiB</translation>
    </message>
    <message>
        <source>it is not an SVG drawing</source>
        <translation>sie ist keine SVG-Zeichnung</translation>
    </message>
    <message>
        <source>its &lt;metadata&gt; is never closed</source>
        <translation>ihr &lt;metadata&gt; wird nie geschlossen</translation>
    </message>
    <message>
        <source>it is not an HPGL file</source>
        <translation>sie ist keine HPGL-Datei</translation>
    </message>
    <message>
        <source>its comment is never closed</source>
        <translation>ihr Kommentar wird nie geschlossen</translation>
    </message>
    <message>
        <source>it is not a PDF document</source>
        <translation>sie ist kein PDF-Dokument</translation>
    </message>
    <message>
        <source>its subject is never closed</source>
        <translation>ihr Betreff wird nie geschlossen</translation>
    </message>
    <message>
        <source>it is not a PNG picture</source>
        <translation>sie ist kein PNG-Bild</translation>
    </message>
    <message>
        <source>it is not a PNG picture that can be read (%1)</source>
        <translation>sie ist kein lesbares PNG-Bild (%1)</translation>
    </message>
    <message>
        <source>it is not a video that can be read (%1)</source>
        <translation>sie ist kein lesbares Video (%1)</translation>
    </message>
    <message>
        <source>this FFmpeg cannot read the container</source>
        <translation>dieses FFmpeg kann den Container nicht lesen</translation>
    </message>
    <message>
        <source>it is not JSON</source>
        <translation>sie ist kein JSON</translation>
    </message>
    <message>
        <source>it is not JSON (at byte %1)</source>
        <translation>sie ist kein JSON (bei Byte %1)</translation>
    </message>
    <message>
        <source>it is not a list of figures</source>
        <translation>sie ist keine Liste von Figuren</translation>
    </message>
    <message>
        <source>it is nested too deeply</source>
        <translation>sie ist zu tief verschachtelt</translation>
    </message>
    <message>
        <source>figure %1: %2</source>
        <translation>Figur %1: %2</translation>
    </message>
    <message>
        <source>it is not an object</source>
        <translation>sie ist kein Objekt</translation>
    </message>
    <message>
        <source>it has no &quot;draws&quot;</source>
        <translation>sie hat keine „draws“</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is given twice</source>
        <translation>„%1“ ist zweimal angegeben</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not true or false</source>
        <translation>„%1“ ist weder true noch false</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a whole number of seconds</source>
        <translation>„%1“ ist keine ganze Zahl von Sekunden</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not text</source>
        <translation>„%1“ ist kein Text</translation>
    </message>
    <message>
        <source>&quot;shown_at&quot; is not a time from 1970 to 9999</source>
        <translation>„shown_at“ ist keine Zeit von 1970 bis 9999</translation>
    </message>
    <message>
        <source>the note is longer than %1 bytes</source>
        <translation>die Notiz ist länger als %1 Bytes</translation>
    </message>
    <message>
        <source>the note holds a control character</source>
        <translation>die Notiz enthält ein Steuerzeichen</translation>
    </message>
    <message>
        <source>figures are not being kept</source>
        <translation>Figuren werden nicht aufbewahrt</translation>
    </message>
    <message>
        <source>expected 12 draws separated by commas, got %1</source>
        <translation>12 durch Kommas getrennte Zufallswerte erwartet, %1 erhalten</translation>
    </message>
    <message>
        <source>draw %1 %2 is not a number</source>
        <translation>Zufallswert %1 %2 ist keine Zahl</translation>
    </message>
    <message>
        <source>draw %1 %2 is not in [0, 1) as a float</source>
        <translation>Zufallswert %1 %2 liegt als float nicht in [0, 1)</translation>
    </message>
    <message>
        <source>expected three directions R,G,B, got %1</source>
        <translation>drei Richtungen R,G,B erwartet, %1 erhalten</translation>
    </message>
    <message>
        <source>direction %1 is neither 1 nor -1</source>
        <translation>die Richtung %1 ist weder 1 noch -1</translation>
    </message>
    <message>
        <source>it holds %1 at byte %2, which no command holds</source>
        <translation>sie enthält %1 bei Byte %2, was kein Befehl enthält</translation>
    </message>
    <message>
        <source>it is not a stringart-render command</source>
        <translation>sie ist kein stringart-render-Befehl</translation>
    </message>
    <message>
        <source>it has no draws</source>
        <translation>sie hat keine Zufallswerte</translation>
    </message>
    <message>
        <source>%1 is not N or WxH with each side a whole number from 500 to 16384</source>
        <translation>%1 ist weder N noch BxH mit jeder Seite einer ganzen Zahl von 500 bis 16384</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>unbekannte Option %1</translation>
    </message>
    <message>
        <source>unknown option %1 (see stringart --help)</source>
        <translation>unbekannte Option %1 (siehe stringart --help)</translation>
    </message>
    <message>
        <source>unknown option %1 (try --help)</source>
        <translation>unbekannte Option %1 (siehe --help)</translation>
    </message>
    <message>
        <source>unexpected argument %1</source>
        <translation>unerwartetes Argument %1</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 nimmt keinen Wert</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 braucht einen Wert</translation>
    </message>
    <message>
        <source>%1 given more than once</source>
        <translation>%1 mehr als einmal angegeben</translation>
    </message>
    <message>
        <source>%1 is not a number</source>
        <translation>%1 ist keine Zahl</translation>
    </message>
    <message>
        <source>%1 %2 is not a number</source>
        <translation>%1 %2 ist keine Zahl</translation>
    </message>
    <message>
        <source>%1 is not a whole number from %2 to %3</source>
        <translation>%1 ist keine ganze Zahl von %2 bis %3</translation>
    </message>
    <message>
        <source>%1 %2 is not a whole number from %3 to %4</source>
        <translation>%1 %2 ist keine ganze Zahl von %3 bis %4</translation>
    </message>
    <message>
        <source>%1 is not a whole number of seconds from %2 to %3</source>
        <translation>%1 ist keine ganze Zahl von Sekunden von %2 bis %3</translation>
    </message>
    <message>
        <source>%1 %2 is not a whole number of seconds from %3 to %4</source>
        <translation>%1 %2 ist keine ganze Zahl von Sekunden von %3 bis %4</translation>
    </message>
    <message>
        <source>%1 is not a number from %2 to %3</source>
        <translation>%1 ist keine Zahl von %2 bis %3</translation>
    </message>
    <message>
        <source>%1 %2 is not a number from %3 to %4</source>
        <translation>%1 %2 ist keine Zahl von %3 bis %4</translation>
    </message>
    <message>
        <source>%1 is not a number of millimetres from %2 to %3</source>
        <translation>%1 ist keine Zahl von Millimetern von %2 bis %3</translation>
    </message>
    <message>
        <source>%1 %2 is not a number of millimetres from %3 to %4</source>
        <translation>%1 %2 ist keine Zahl von Millimetern von %3 bis %4</translation>
    </message>
    <message>
        <source>%1 is not a number of mm/s from %2 to %3</source>
        <translation>%1 ist keine Zahl von mm/s von %2 bis %3</translation>
    </message>
    <message>
        <source>%1 %2 is not a number of mm/s from %3 to %4</source>
        <translation>%1 %2 ist keine Zahl von mm/s von %3 bis %4</translation>
    </message>
    <message>
        <source>%1 is not a time such as 90m or 2h from %2 to %3</source>
        <translation>%1 ist keine Zeit wie 90m oder 2h von %2 bis %3</translation>
    </message>
    <message>
        <source>%1 %2 is not a time such as 90m or 2h from %3 to %4</source>
        <translation>%1 %2 ist keine Zeit wie 90m oder 2h von %3 bis %4</translation>
    </message>
    <message>
        <source>%1 is not a time of day from 0 to below 86400 seconds</source>
        <translation>%1 ist keine Tageszeit von 0 bis unter 86400 Sekunden</translation>
    </message>
    <message>
        <source>%1 %2 is not a time of day from 0 to below 86400 seconds</source>
        <translation>%1 %2 ist keine Tageszeit von 0 bis unter 86400 Sekunden</translation>
    </message>
    <message>
        <source>%1 %2 is not N or WxH with each side a whole number from 500 to 16384</source>
        <translation>%1 %2 ist weder N noch BxH mit jeder Seite einer ganzen Zahl von 500 bis 16384</translation>
    </message>
    <message>
        <source>%1 is no paper: %2or WxHmm with each side %3 to %4 mm</source>
        <translation>%1 ist kein Papier: %2oder WxHmm mit jeder Seite von %3 bis %4 mm</translation>
    </message>
    <message>
        <source>%1 %2 is no paper: %3or WxHmm with each side %4 to %5 mm</source>
        <translation>%1 %2 ist kein Papier: %3oder WxHmm mit jeder Seite von %4 bis %5 mm</translation>
    </message>
    <message>
        <source>%1 %2 is neither a number of pens from %3 to %4 nor colours #rrggbb,...</source>
        <translation>%1 %2 ist weder eine Zahl von Stiften von %3 bis %4 noch Farben #rrggbb,...</translation>
    </message>
    <message>
        <source>%1 is neither a number of pens from %2 to %3 nor colours #rrggbb,...</source>
        <translation>%1 ist weder eine Zahl von Stiften von %2 bis %3 noch Farben #rrggbb,...</translation>
    </message>
    <message>
        <source>%1 is neither servo,S with S from %2 to %3 nor z,MM from %4 to %5 mm</source>
        <translation>%1 ist weder servo,S mit S von %2 bis %3 noch z,MM von %4 bis %5 mm</translation>
    </message>
    <message>
        <source>%1 %2 is neither servo,S with S from %3 to %4 nor z,MM from %5 to %6 mm</source>
        <translation>%1 %2 ist weder servo,S mit S von %3 bis %4 noch z,MM von %5 bis %6 mm</translation>
    </message>
    <message>
        <source>%1 is not white, black or #rrggbb</source>
        <translation>%1 ist weder white noch black noch #rrggbb</translation>
    </message>
    <message>
        <source>%1 %2 is not white, black or #rrggbb</source>
        <translation>%1 %2 ist weder white noch black noch #rrggbb</translation>
    </message>
    <message>
        <source>G-code (.gcode)</source>
        <translation>G-Code (.gcode)</translation>
    </message>
    <message>
        <source>pen colour %1 is not #rrggbb</source>
        <translation>die Stiftfarbe %1 ist nicht #rrggbb</translation>
    </message>
    <message>
        <source>%1 pen colours; a plotter takes %2 to %3</source>
        <translation>%1 Stiftfarben; ein Plotter nimmt %2 bis %3</translation>
    </message>
    <message>
        <source>%1 needs %2</source>
        <translation>%1 braucht %2</translation>
    </message>
    <message>
        <source>%1 is for %2, not for %3</source>
        <translation>%1 ist für %2, nicht für %3</translation>
    </message>
    <message>
        <source>plotter files (.svg, .hpgl, .plt, .gcode)</source>
        <translation>Plotterdateien (.svg, .hpgl, .plt, .gcode)</translation>
    </message>
    <message>
        <source>a plotter&apos;s SVG</source>
        <translation>das SVG eines Plotters</translation>
    </message>
    <message>
        <source>a printed PNG</source>
        <translation>ein gedrucktes PNG</translation>
    </message>
    <message>
        <source>a PDF</source>
        <translation>ein PDF</translation>
    </message>
    <message>
        <source>output %1 is made for a sheet of paper: give --paper</source>
        <translation>die Ausgabe %1 ist für ein Blatt Papier gemacht: Geben Sie --paper an</translation>
    </message>
    <message>
        <source>--paper is for .svg, .hpgl, .plt, .gcode, .pdf and .png files, not for %1</source>
        <translation>--paper ist für .svg-, .hpgl-, .plt-, .gcode-, .pdf- und .png-Dateien, nicht für %1</translation>
    </message>
    <message>
        <source>--size and --paper cannot be used together: the paper sets the size</source>
        <translation>--size und --paper lassen sich nicht zusammen verwenden: Das Papier legt die Größe fest</translation>
    </message>
    <message>
        <source>output %1 must end in .png, .svg, .mp4, .webm, .hpgl, .plt, .gcode or .pdf</source>
        <translation>die Ausgabe %1 muss auf .png, .svg, .mp4, .webm, .hpgl, .plt, .gcode oder .pdf enden</translation>
    </message>
    <message>
        <source>%1 is for animations (.mp4, .webm), not for %2</source>
        <translation>%1 ist für Animationen (.mp4, .webm), nicht für %2</translation>
    </message>
    <message>
        <source>%1 and %2 cannot be used together</source>
        <translation>%1 und %2 lassen sich nicht zusammen verwenden</translation>
    </message>
    <message>
        <source>no output file: give -o FILE.png or -o FILE.svg</source>
        <translation>keine Ausgabedatei: Geben Sie -o DATEI.png oder -o DATEI.svg an</translation>
    </message>
    <message>
        <source>%1 stands alone: it opens no window</source>
        <translation>%1 steht allein: Es öffnet kein Fenster</translation>
    </message>
    <message>
        <source>give figure files or %1, not both</source>
        <translation>Geben Sie Figurendateien oder %1 an, nicht beides</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>the name must end in .png, .svg, .mp4, .webm, .hpgl, .plt, .gcode or .pdf</source>
        <translation>der Name muss auf .png, .svg, .mp4, .webm, .hpgl, .plt, .gcode oder .pdf enden</translation>
    </message>
    <message>
        <source>an HPGL, G-code or PDF file is made for a sheet of paper</source>
        <translation>eine HPGL-, G-Code- oder PDF-Datei ist für ein Blatt Papier gemacht</translation>
    </message>
    <message>
        <source>a morph is a .mp4 or .webm file</source>
        <translation>eine Verwandlung ist eine .mp4- oder .webm-Datei</translation>
    </message>
    <message>
        <source>a file for paper ends in .svg, .hpgl, .plt, .gcode, .pdf or .png</source>
        <translation>eine Datei für Papier endet auf .svg, .hpgl, .plt, .gcode, .pdf oder .png</translation>
    </message>
    <message>
        <source>a plotter takes %1 to %2 pens, not %3</source>
        <translation>ein Plotter nimmt %1 bis %2 Stifte, nicht %3</translation>
    </message>
    <message>
        <source>a print takes %1 to %2 dots per inch, not %3</source>
        <translation>ein Druck nimmt %1 bis %2 Punkte pro Zoll, nicht %3</translation>
    </message>
    <message>
        <source>%1 at %2 dpi is %3 x %4 pixels, more than %5 a side: fewer dots per inch</source>
        <translation>%1 bei %2 dpi sind %3 x %4 Pixel, mehr als %5 je Seite: weniger Punkte pro Zoll</translation>
    </message>
    <message>
        <source>the size %1 x %2 has a side outside %3 to %4</source>
        <translation>die Größe %1 x %2 hat eine Seite außerhalb von %3 bis %4</translation>
    </message>
    <message>
        <source>an animation&apos;s sides must be even, from %1 to %2, not %3 x %4</source>
        <translation>die Seiten einer Animation müssen gerade sein, von %1 bis %2, nicht %3 x %4</translation>
    </message>
    <message>
        <source>an animation lasts %1 to %2 seconds, not %3</source>
        <translation>eine Animation dauert %1 bis %2 Sekunden, nicht %3</translation>
    </message>
    <message>
        <source>an animation runs at %1 to %2 frames a second, not %3</source>
        <translation>eine Animation läuft mit %1 bis %2 Bildern pro Sekunde, nicht %3</translation>
    </message>
    <message>
        <source>a margin of %1 mm leaves no room on %2: at most %3 mm</source>
        <translation>ein Rand von %1 mm lässt auf %2 keinen Platz: höchstens %3 mm</translation>
    </message>
    <message>
        <source>interrupted while writing; nothing written</source>
        <translation>beim Schreiben unterbrochen; nichts geschrieben</translation>
    </message>
    <message>
        <source>terminated while writing; nothing written</source>
        <translation>beim Schreiben beendet; nichts geschrieben</translation>
    </message>
    <message>
        <source>hung up while writing; nothing written</source>
        <translation>beim Schreiben wurde das Terminal geschlossen; nichts geschrieben</translation>
    </message>
    <message>
        <source>interrupted after %1 figures; nothing written</source>
        <translation>nach %1 Figuren unterbrochen; nichts geschrieben</translation>
    </message>
    <message>
        <source>terminated after %1 figures; nothing written</source>
        <translation>nach %1 Figuren beendet; nichts geschrieben</translation>
    </message>
    <message>
        <source>hung up after %1 figures; nothing written</source>
        <translation>nach %1 Figuren wurde das Terminal geschlossen; nichts geschrieben</translation>
    </message>
    <message>
        <source>%1 left</source>
        <translation>noch %1</translation>
    </message>
    <message>
        <source>%1: %2 of work</source>
        <translation>%1: %2 Arbeit</translation>
    </message>
    <message>
        <source>about %1 s</source>
        <translation>etwa %1 s</translation>
    </message>
    <message>
        <source>about %1 min</source>
        <translation>etwa %1 min</translation>
    </message>
    <message>
        <source>about %1 h %2 min</source>
        <translation>etwa %1 h %2 min</translation>
    </message>
    <message>
        <source>pen %1: %2 m pen down, %3 m pen up, %4</source>
        <translation>Stift %1: %2 m Stift unten, %3 m Stift oben, %4</translation>
    </message>
    <message>
        <source>in all: %1 m pen down, %2 m pen up, %3 lifts, %4</source>
        <translation>insgesamt: %1 m Stift unten, %2 m Stift oben, %3-mal angehoben, %4</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>Added %1 figure from %2 to the journal.</source>
        <translation>%1 Figur aus %2 ins Tagebuch aufgenommen.</translation>
    </message>
    <message>
        <source>Added %1 figures from %2 to the journal.</source>
        <translation>%1 Figuren aus %2 ins Tagebuch aufgenommen.</translation>
    </message>
    <message>
        <source>Added %1 figure from %2 to the journal; %3 was kept already.</source>
        <translation>%1 Figur aus %2 ins Tagebuch aufgenommen; %3 war schon aufbewahrt.</translation>
    </message>
    <message>
        <source>Added %1 figures from %2 to the journal; %3 was kept already.</source>
        <translation>%1 Figuren aus %2 ins Tagebuch aufgenommen; %3 war schon aufbewahrt.</translation>
    </message>
    <message>
        <source>Added %1 figure from %2 to the journal; %3 were kept already.</source>
        <translation>%1 Figur aus %2 ins Tagebuch aufgenommen; %3 waren schon aufbewahrt.</translation>
    </message>
    <message>
        <source>Added %1 figures from %2 to the journal; %3 were kept already.</source>
        <translation>%1 Figuren aus %2 ins Tagebuch aufgenommen; %3 waren schon aufbewahrt.</translation>
    </message>
    <message>
        <source>The journal of figures could not be read. It was set aside as %1, and a fresh one has begun.</source>
        <translation>Das Tagebuch der Figuren konnte nicht gelesen werden. Es wurde als %1 beiseitegelegt, und ein neues hat begonnen.</translation>
    </message>
    <message>
        <source>%1 holds another program&apos;s data, not figures. It was set aside as %2, and a fresh journal has begun.</source>
        <translation>%1 enthält die Daten eines anderen Programms, keine Figuren. Die Datei wurde als %2 beiseitegelegt, und ein neues Tagebuch hat begonnen.</translation>
    </message>
    <message>
        <source>Figures are not being kept: neither XDG_DATA_HOME nor HOME names a folder for them.</source>
        <translation>Figuren werden nicht aufbewahrt: Weder XDG_DATA_HOME noch HOME nennt einen Ordner für sie.</translation>
    </message>
    <message>
        <source>Figures are not being kept: %1 was written by a newer stringart; it is left as it is.</source>
        <translation>Figuren werden nicht aufbewahrt: %1 wurde von einem neueren stringart geschrieben; sie bleibt, wie sie ist.</translation>
    </message>
    <message>
        <source>Figures are not being kept: %1 cannot be written (%2).</source>
        <translation>Figuren werden nicht aufbewahrt: In %1 kann nicht geschrieben werden (%2).</translation>
    </message>
    <message>
        <source>it holds another program&apos;s data</source>
        <translation>sie enthält die Daten eines anderen Programms</translation>
    </message>
    <message>
        <source>unknown reason</source>
        <translation>unbekannter Grund</translation>
    </message>
    <message>
        <source>figure %1 of %2</source>
        <translation>Figur %1 von %2</translation>
    </message>
    <message>
        <source>no program to run</source>
        <translation>kein Programm auszuführen</translation>
    </message>
    <message>
        <source>%1 ended with status %2</source>
        <translation>%1 endete mit dem Status %2</translation>
    </message>
    <message>
        <source>%1 was ended by signal %2</source>
        <translation>%1 wurde durch das Signal %2 beendet</translation>
    </message>
    <message>
        <source>cannot open display %1</source>
        <translation>das Display %1 lässt sich nicht öffnen</translation>
    </message>
    <message>
        <source>cannot open a display: DISPLAY is not set</source>
        <translation>kein Display lässt sich öffnen: DISPLAY ist nicht gesetzt</translation>
    </message>
    <message>
        <source>cannot draw on window %1 (X error %2)</source>
        <translation>auf das Fenster %1 lässt sich nicht zeichnen (X-Fehler %2)</translation>
    </message>
    <message>
        <source>there is no window %1 on this display</source>
        <translation>auf diesem Display gibt es kein Fenster %1</translation>
    </message>
    <message>
        <source>the window&apos;s visual is not 24-bit true colour (depth %1)</source>
        <translation>das Visual des Fensters ist nicht 24-Bit-Truecolor (Tiefe %1)</translation>
    </message>
    <message>
        <source>the X server closed the connection</source>
        <translation>der X-Server hat die Verbindung geschlossen</translation>
    </message>
    <message>
        <source>No such file or directory</source>
        <translation>Datei oder Verzeichnis nicht gefunden</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Keine Berechtigung</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>Ist ein Verzeichnis</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>Ist kein Verzeichnis</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>Auf dem Gerät ist kein Speicherplatz mehr verfügbar</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>Dateisystem ist nur lesbar</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>Dateiname zu lang</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>Der zugewiesene Plattenplatz (Quota) ist überschritten</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>Eingabe-/Ausgabefehler</translation>
    </message>
    <message>
        <source>%1 (%2 x %3 mm)</source>
        <translation>%1 (%2 x %3 mm)</translation>
    </message>
    <message>
        <source>this FFmpeg has no %1 encoder</source>
        <translation>dieses FFmpeg hat keinen Encoder %1</translation>
    </message>
    <message>
        <source>cannot open the %1 encoder: %2</source>
        <translation>der Encoder %1 lässt sich nicht öffnen: %2</translation>
    </message>
    <message>
        <source>cannot convert pictures to yuv420p</source>
        <translation>Bilder lassen sich nicht in yuv420p umwandeln</translation>
    </message>
    <message>
        <source>the file formats could not be loaded from %1: %2</source>
        <translation>die Dateiformate ließen sich nicht aus %1 laden: %2</translation>
    </message>
    <message>
        <source>it has no entry</source>
        <translation>es hat keinen Einstiegspunkt</translation>
    </message>
    <message>
        <source>unexpected %1</source>
        <translation>unerwartet: %1</translation>
    </message>
</context>
<context>
    <name>RenderOptions</name>
    <message>
        <source>FILE.png: the 500 x 500 picture; FILE.svg: the figure as vector
art; FILE.mp4 (H.264) or FILE.webm (VP9): the figure being traced</source>
        <translation>FILE.png: das Bild mit 500 x 500 Pixeln; FILE.svg: die Figur als
Vektorgrafik; FILE.mp4 (H.264) oder FILE.webm (VP9): die Figur,
während sie gezeichnet wird</translation>
    </message>
    <message>
        <source>the time of day (0 to below 86400) the random source is reseeded
from, for a reproducible run; default: the real clock</source>
        <translation>die Tageszeit (0 bis unter 86400), aus der die Zufallsquelle neu
gestartet wird, für einen wiederholbaren Lauf; Standard: die echte Uhr</translation>
    </message>
    <message>
        <source>how many figures, {range} (default 1); each after the first
is traced as a press of &quot;new&quot;</source>
        <translation>wie viele Figuren, {range} (Standard 1); jede nach der ersten
wird wie bei einem Druck auf „new“ gezeichnet</translation>
    </message>
    <message>
        <source>the twelve draws of every figure, each 0 &lt;= u &lt; 1</source>
        <translation>die zwölf Zufallswerte jeder Figur, je 0 &lt;= u &lt; 1</translation>
    </message>
    <message>
        <source>colour directions before the first figure, each 1 or -1
(default 1,1,1)</source>
        <translation>die Farbrichtungen vor der ersten Figur, je 1 oder -1
(Standard 1,1,1)</translation>
    </message>
    <message>
        <source>a PNG drawn anti-aliased at this size, each side 500 to 16384,
the figure scaled by (shorter side) / 500 and centred; an SVG&apos;s
width and height; an animation&apos;s size, even sides up to 4096
(default 1000)</source>
        <translation>ein geglättet gezeichnetes PNG in dieser Größe, jede Seite 500 bis
16384, die Figur um (kürzere Seite) / 500 vergrößert und zentriert;
Breite und Höhe eines SVG; die Größe einer Animation, gerade Seiten
bis 4096 (Standard 1000)</translation>
    </message>
    <message>
        <source>an animation&apos;s tracing time, {range} seconds (default 8); the
complete figure is then held for one second more</source>
        <translation>die Zeichendauer einer Animation, {range} Sekunden (Standard 8);
die fertige Figur steht danach noch eine Sekunde</translation>
    </message>
    <message>
        <source>an animation&apos;s frames per second, {range} (default 30)</source>
        <translation>die Bilder pro Sekunde einer Animation, {range} (Standard 30)</translation>
    </message>
    <message>
        <source>an animation of the complete figure changing into that of these
draws, each frame&apos;s draws a linear step from the last figure&apos;s,
with its start directions; the end is held for one second</source>
        <translation>eine Animation, in der die fertige Figur zu der dieser Zufallswerte
wird, die Zufallswerte jedes Bildes ein linearer Schritt von denen
der letzten Figur, mit deren Anfangsrichtungen; das Ende steht eine
Sekunde</translation>
    </message>
    <message>
        <source>A6 to A0, Letter, Legal, Tabloid, Postcard (100 x 148 mm) or
WxHmm: a file for that sheet, upright (WxHmm: as typed), the figure
centred in the square inside the margin: FILE.svg a plotter&apos;s
layers of pen paths, FILE.hpgl or FILE.plt HPGL, FILE.gcode G-code,
FILE.pdf a vector print, FILE.png a print at --dpi</source>
        <translation>A6 bis A0, Letter, Legal, Tabloid, Postcard (100 x 148 mm) oder
WxHmm: eine Datei für dieses Blatt, hochkant (WxHmm: wie eingegeben), die
Figur zentriert im Quadrat innerhalb des Rands: FILE.svg die Ebenen
der Stiftwege eines Plotters, FILE.hpgl oder FILE.plt HPGL, FILE.gcode
G-Code, FILE.pdf ein Vektordruck, FILE.png ein Druck mit --dpi</translation>
    </message>
    <message>
        <source>the paper&apos;s colour: a print&apos;s ground (default black, or none
with --on-white), and what a plotter&apos;s pens are chosen to stand
out from (default white)</source>
        <translation>die Farbe des Papiers: der Grund eines Drucks (Standard schwarz, oder
keiner mit --on-white), und wovon sich die Stifte eines Plotters abheben
sollen (Standard weiß)</translation>
    </message>
    <message>
        <source>the paper with its longer side across</source>
        <translation>das Papier mit der längeren Seite quer</translation>
    </message>
    <message>
        <source>the blank border around the figure, {range} mm (default 15)</source>
        <translation>der leere Rand um die Figur, {range} mm (Standard 15)</translation>
    </message>
    <message>
        <source>a plotter&apos;s pens: N colours (1 to 12, default 6) that keep the
figure&apos;s best, or the colours of your own pens, each stroke
taking the nearest; one layer or pen number each</source>
        <translation>die Stifte eines Plotters: N Farben (1 bis 12, Standard 6), die das
Beste der Figur bewahren, oder die Farben Ihrer eigenen Stifte, jeder
Strich mit der nächstliegenden; je eine Ebene oder Stiftnummer</translation>
    </message>
    <message>
        <source>the plotter&apos;s pen width, {range} mm (default 0.3): each step
of the figure is one line, and lines that would run where the
same pen has drawn are left out</source>
        <translation>die Stiftbreite des Plotters, {range} mm (Standard 0.3): jeder Schritt
der Figur ist eine Linie, und Linien, die dort verliefen, wo derselbe
Stift schon gezeichnet hat, entfallen</translation>
    </message>
    <message>
        <source>the plotter&apos;s speed for the time the plot line gives,
{range} mm/s (default 25)</source>
        <translation>die Geschwindigkeit des Plotters für die Zeit, die die Plot-Zeile
nennt, {range} mm/s (Standard 25)</translation>
    </message>
    <message>
        <source>how a G-code plotter lifts its pen: a servo, down at M3 S (1 to
10000, default 1000) and up at M5, or the Z axis, down at 0 and
up at MM (0.5 to 50, default 3); default servo</source>
        <translation>wie ein G-Code-Plotter seinen Stift hebt: ein Servo, unten bei M3 S
(1 bis 10000, Standard 1000) und oben bei M5, oder die Z-Achse, unten
bei 0 und oben bei MM (0.5 bis 50, Standard 3); Standard servo</translation>
    </message>
    <message>
        <source>G-code in a file for each pen, FILE-1.gcode and so on, rather
than one that pauses (M0) to change pens</source>
        <translation>G-Code in einer Datei je Stift, FILE-1.gcode und so weiter, statt
einer, die zum Stiftwechsel anhält (M0)</translation>
    </message>
    <message>
        <source>the time a plot may take at --speed, as 90m or 2h, 1m to 100h
(default 2h): the lines that add least to the figure are left
out until it fits</source>
        <translation>die Zeit, die ein Plot bei --speed dauern darf, als 90m oder 2h, 1m bis
100h (Standard 2h): die Linien, die der Figur am wenigsten hinzufügen,
entfallen, bis er hineinpasst</translation>
    </message>
    <message>
        <source>a printed PNG&apos;s dots per inch, {range} (default 300)</source>
        <translation>die Punkte pro Zoll eines gedruckten PNG, {range} (Standard 300)</translation>
    </message>
    <message>
        <source>a PDF for white paper: the figure&apos;s colours without the black
ground</source>
        <translation>ein PDF für weißes Papier: die Farben der Figur ohne den schwarzen
Grund</translation>
    </message>
    <message>
        <source>this text</source>
        <translation>dieser Text</translation>
    </message>
    <message>
        <source>the program&apos;s version</source>
        <translation>die Version des Programms</translation>
    </message>
    <message>
        <source>Usage: stringart-render [OPTION...] -o FILE
Traces string-art figures as the stringart window does and writes the last one to FILE.
</source>
        <translation>Aufruf: stringart-render [OPTION...] -o FILE
Zeichnet Fadenbilder wie das Fenster von stringart und schreibt das letzte in FILE.
</translation>
    </message>
    <message>
        <source>Standard output gets one line per figure, the draws and directions that make it again,
and for a plotter file its plot: the metres each pen travels down and up, and the
time at --speed with its lifts, for each pen and in all.
</source>
        <translation>Die Standardausgabe erhält je Figur eine Zeile, die Zufallswerte und Richtungen, die sie
wieder erzeugen, und für eine Plotterdatei ihren Plot: die Meter, die jeder Stift abgesenkt
und angehoben zurücklegt, und die Zeit bei --speed mit dem Anheben, je Stift und insgesamt.
</translation>
    </message>
</context>
<context>
    <name>SteerKeys</name>
    <message>
        <source>select a figure of the grid</source>
        <translation>eine Figur des Rasters wählen</translation>
    </message>
    <message>
        <source>show the selected figure; the grid centres on it</source>
        <translation>die gewählte Figur zeigen; das Raster zentriert sich auf sie</translation>
    </message>
    <message>
        <source>eight other figures around the same centre</source>
        <translation>acht andere Figuren um dieselbe Mitte</translation>
    </message>
    <message>
        <source>the strength, whose arrows make the variations subtler or wilder</source>
        <translation>die Stärke, deren Pfeiltasten die Variationen sanfter oder wilder machen</translation>
    </message>
    <message>
        <source>save a morph from the centre to the selected figure</source>
        <translation>eine Verwandlung von der Mitte zur gewählten Figur speichern</translation>
    </message>
    <message>
        <source>close</source>
        <translation>schließen</translation>
    </message>
    <message>
        <source>the next or the previous slider, value or colour</source>
        <translation>der nächste oder vorige Schieberegler, Wert oder Farbe</translation>
    </message>
    <message>
        <source>move a slider by about 0.001; the figure is kept once it has rested half a second</source>
        <translation>einen Schieberegler um etwa 0,001 bewegen; die Figur wird behalten, sobald er eine halbe Sekunde ruht</translation>
    </message>
    <message>
        <source>move a slider by about 0.02</source>
        <translation>einen Schieberegler um etwa 0,02 bewegen</translation>
    </message>
    <message>
        <source>set the value typed</source>
        <translation>den eingetippten Wert setzen</translation>
    </message>
</context>
<context>
    <name>WindowKeys</name>
    <message>
        <source>trace a new figure</source>
        <translation>eine neue Figur zeichnen</translation>
    </message>
    <message>
        <source>the figure before</source>
        <translation>die Figur davor</translation>
    </message>
    <message>
        <source>the figure after</source>
        <translation>die Figur danach</translation>
    </message>
    <message>
        <source>mark the figure as a favourite, or no longer</source>
        <translation>die Figur als Favorit markieren oder die Markierung aufheben</translation>
    </message>
    <message>
        <source>the gallery of the figures shown and the favourites</source>
        <translation>die Galerie der gezeigten Figuren und der Favoriten</translation>
    </message>
    <message>
        <source>variations of the figure</source>
        <translation>Variationen der Figur</translation>
    </message>
    <message>
        <source>adjust the figure&apos;s draws</source>
        <translation>die Zufallswerte der Figur anpassen</translation>
    </message>
    <message>
        <source>save the picture (PNG or SVG)</source>
        <translation>das Bild speichern (PNG oder SVG)</translation>
    </message>
    <message>
        <source>open the figure a file carries</source>
        <translation>die Figur aus einer Datei öffnen</translation>
    </message>
    <message>
        <source>save a large picture</source>
        <translation>ein großes Bild speichern</translation>
    </message>
    <message>
        <source>save an animation of the figure being traced</source>
        <translation>eine Animation speichern, wie die Figur entsteht</translation>
    </message>
    <message>
        <source>save for paper: a plotter&apos;s or a printer&apos;s file</source>
        <translation>für Papier speichern: eine Datei für Plotter oder Drucker</translation>
    </message>
    <message>
        <source>copy the picture</source>
        <translation>das Bild kopieren</translation>
    </message>
    <message>
        <source>copy the stringart-render command that makes the figure</source>
        <translation>den stringart-render-Befehl kopieren, der die Figur erzeugt</translation>
    </message>
    <message>
        <source>set the figure as the desktop&apos;s wallpaper</source>
        <translation>die Figur als Hintergrundbild festlegen</translation>
    </message>
    <message>
        <source>the figure on the full screen</source>
        <translation>die Figur im Vollbild</translation>
    </message>
    <message>
        <source>a slideshow of new figures on the full screen</source>
        <translation>eine Diashow neuer Figuren im Vollbild</translation>
    </message>
    <message>
        <source>the menu</source>
        <translation>das Menü</translation>
    </message>
    <message>
        <source>these keys and the options</source>
        <translation>diese Tasten und die Optionen</translation>
    </message>
    <message>
        <source>quit</source>
        <translation>beenden</translation>
    </message>
    <message>
        <source>Keys in the window:</source>
        <translation>Tasten im Fenster:</translation>
    </message>
    <message>
        <source>print the figure</source>
        <translation>die Figur drucken</translation>
    </message>
</context>
<context>
    <name>WindowOptions</name>
    <message>
        <source>open the figure each file carries (a PNG, SVG, MP4, WebM,
HPGL or PDF that stringart wrote); the first is shown, all
are in the window&apos;s history</source>
        <translation>die Figur jeder Datei öffnen (ein PNG, SVG, MP4, WebM, HPGL
oder PDF, das stringart geschrieben hat); die erste wird
gezeigt, alle stehen im Verlauf des Fensters</translation>
    </message>
    <message>
        <source>show the figure of these twelve draws, each 0 &lt;= u &lt; 1</source>
        <translation>die Figur dieser zwölf Zufallswerte zeigen, je 0 &lt;= u &lt; 1</translation>
    </message>
    <message>
        <source>its colour directions before it, each 1 or -1 (default 1,1,1)</source>
        <translation>ihre Farbrichtungen davor, je 1 oder -1 (Standard 1,1,1)</translation>
    </message>
    <message>
        <source>full screen, a new figure every SECONDS ({range}, default
10), each traced bit by bit; any other key or click ends it</source>
        <translation>Vollbild, alle SECONDS Sekunden eine neue Figur ({range},
Standard 10), jede Stück für Stück gezeichnet; jede andere
Taste oder ein Klick beendet es</translation>
    </message>
    <message>
        <source>add the figures of a figures file (JSON, as the gallery&apos;s &quot;Save
figures&quot; writes it) to the journal, say how many, and exit</source>
        <translation>die Figuren einer Figurendatei (JSON, wie „Figuren speichern“
in der Galerie sie schreibt) ins Tagebuch aufnehmen, sagen,
wie viele, und beenden</translation>
    </message>
    <message>
        <source>print this and exit</source>
        <translation>diese Hilfe ausgeben und beenden</translation>
    </message>
    <message>
        <source>print the version and exit</source>
        <translation>die Version ausgeben und beenden</translation>
    </message>
    <message>
        <source>Without a display, stringart-render makes the same figures into files.
</source>
        <translation>Ohne Bildschirm macht stringart-render dieselben Figuren zu Dateien.
</translation>
    </message>
    <message>
        <source>Usage: stringart [FILE...]
       stringart --draws U1,...,U12 [--directions R,G,B]
       stringart --slideshow [SECONDS]
       stringart --import FILE
Opens a window that traces random string-art figures: one at once,
another at each press of &quot;new&quot;.
</source>
        <translation>Aufruf: stringart [FILE...]
        stringart --draws U1,...,U12 [--directions R,G,B]
        stringart --slideshow [SECONDS]
        stringart --import FILE
Öffnet ein Fenster, das zufällige Fadenbilder zeichnet: eines sofort,
ein weiteres bei jedem Druck auf „new“.
</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>stringart stopped after a failure:</source>
        <translation>stringart wurde nach einem Fehler beendet:</translation>
    </message>
</context>
<context>
    <name>stringart::AdjustWindow</name>
    <message>
        <source>red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>pivot phase</source>
        <translation>Phase des Drehpunkts</translation>
    </message>
    <message>
        <source>arm phase</source>
        <translation>Phase des Arms</translation>
    </message>
    <message>
        <source>red start</source>
        <translation>Rot am Anfang</translation>
    </message>
    <message>
        <source>green start</source>
        <translation>Grün am Anfang</translation>
    </message>
    <message>
        <source>blue start</source>
        <translation>Blau am Anfang</translation>
    </message>
    <message>
        <source>red step</source>
        <translation>Rot-Schritt</translation>
    </message>
    <message>
        <source>green step</source>
        <translation>Grün-Schritt</translation>
    </message>
    <message>
        <source>blue step</source>
        <translation>Blau-Schritt</translation>
    </message>
    <message>
        <source>pivot x factor</source>
        <translation>Drehpunkt, x-Faktor</translation>
    </message>
    <message>
        <source>pivot y factor</source>
        <translation>Drehpunkt, y-Faktor</translation>
    </message>
    <message>
        <source>arm x factor</source>
        <translation>Arm, x-Faktor</translation>
    </message>
    <message>
        <source>arm y factor</source>
        <translation>Arm, y-Faktor</translation>
    </message>
    <message>
        <source>Adjust</source>
        <translation>Anpassen</translation>
    </message>
    <message>
        <source>The exact draw, 0 ≤ u &lt; 1; Enter sets it</source>
        <translation>Der genaue Zufallswert, 0 ≤ u &lt; 1; Eingabe setzt ihn</translation>
    </message>
    <message>
        <source>rising at the start:</source>
        <translation>am Anfang steigend:</translation>
    </message>
    <message>
        <source>Tab moves between controls; arrows move a slider by %1, Page Up and Down by %2; Enter sets a typed value; Escape closes.</source>
        <translation>Tab wechselt zwischen den Elementen; die Pfeiltasten bewegen einen Regler um %1, Bild auf und Bild ab um %2; Eingabe setzt einen getippten Wert; Escape schließt.</translation>
    </message>
    <message>
        <source>%1 is not a draw for %2: type a number from 0 up to, but not including, 1.</source>
        <translation>%1 ist kein Zufallswert für %2: Geben Sie eine Zahl von 0 bis ausschließlich 1 ein.</translation>
    </message>
</context>
<context>
    <name>stringart::CloseDuringExport</name>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Stop writing %1 and quit?</source>
        <translation>Das Schreiben von %1 abbrechen und beenden?</translation>
    </message>
    <message>
        <source>The file is not finished; stopping leaves none.</source>
        <translation>Die Datei ist nicht fertig; beim Abbrechen bleibt keine zurück.</translation>
    </message>
    <message>
        <source>&amp;Stop and quit</source>
        <translation>&amp;Abbrechen und beenden</translation>
    </message>
</context>
<context>
    <name>stringart::ExportDialog</name>
    <message>
        <source>MP4 video, H.264 (*.mp4)</source>
        <translation>MP4-Video, H.264 (*.mp4)</translation>
    </message>
    <message>
        <source>WebM video, VP9 (*.webm)</source>
        <translation>WebM-Video, VP9 (*.webm)</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>PNG-Bild (*.png)</translation>
    </message>
    <message>
        <source>Save large picture</source>
        <translation>Großes Bild speichern</translation>
    </message>
    <message>
        <source>Save animation</source>
        <translation>Animation speichern</translation>
    </message>
    <message>
        <source>Other size</source>
        <translation>Andere Größe</translation>
    </message>
    <message>
        <source> px</source>
        <translation> px</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>Breite</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Höhe</translation>
    </message>
    <message>
        <source>&amp;Size:</source>
        <translation>&amp;Größe:</translation>
    </message>
    <message>
        <source>&amp;Width × height:</source>
        <translation>&amp;Breite × Höhe:</translation>
    </message>
    <message>
        <source>Each side %1 to %2 pixels.</source>
        <translation>Jede Seite %1 bis %2 Pixel.</translation>
    </message>
    <message>
        <source>Even sides, %1 to %2 pixels.</source>
        <translation>Gerade Seitenlängen, %1 bis %2 Pixel.</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source> frames a second</source>
        <translation> Bilder pro Sekunde</translation>
    </message>
    <message>
        <source>&amp;Tracing time:</source>
        <translation>&amp;Zeichendauer:</translation>
    </message>
    <message>
        <source>&amp;Frame rate:</source>
        <translation>Bild&amp;rate:</translation>
    </message>
    <message>
        <source>&amp;Browse…</source>
        <translation>Aus&amp;wählen…</translation>
    </message>
    <message>
        <source>File &amp;name:</source>
        <translation>Datei&amp;name:</translation>
    </message>
    <message>
        <source>Give the file a name.</source>
        <translation>Geben Sie der Datei einen Namen.</translation>
    </message>
    <message>
        <source>A large picture is a PNG file: end the name in .png.</source>
        <translation>Ein großes Bild ist eine PNG-Datei: Lassen Sie den Namen auf .png enden.</translation>
    </message>
    <message>
        <source>An animation is an MP4 or WebM file: end the name in .mp4 or .webm.</source>
        <translation>Eine Animation ist eine MP4- oder WebM-Datei: Lassen Sie den Namen auf .mp4 oder .webm enden.</translation>
    </message>
    <message>
        <source>%1 is a folder.</source>
        <translation>%1 ist ein Ordner.</translation>
    </message>
    <message>
        <source>%1 is not a regular file (a pipe or a device); choose another name.</source>
        <translation>%1 ist keine gewöhnliche Datei (eine Pipe oder ein Gerät); wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Den Ordner %1 gibt es nicht.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be written to; choose another.</source>
        <translation>In den Ordner %1 kann nicht geschrieben werden; wählen Sie einen anderen.</translation>
    </message>
    <message>
        <source>Writing %1 takes %2. Write it?</source>
        <translation>Das Schreiben von %1 dauert %2. Schreiben?</translation>
    </message>
    <message>
        <source>%1 already exists in %2. Replace it?</source>
        <translation>%1 gibt es in %2 schon. Ersetzen?</translation>
    </message>
</context>
<context>
    <name>stringart::ExportNote</name>
    <message>
        <source>Open &amp;folder</source>
        <translation>&amp;Ordner öffnen</translation>
    </message>
    <message>
        <source>Export finished</source>
        <translation>Export fertig</translation>
    </message>
    <message>
        <source>Close this note</source>
        <translation>Diesen Hinweis schließen</translation>
    </message>
    <message>
        <source>Close note</source>
        <translation>Hinweis schließen</translation>
    </message>
    <message>
        <source>Saved %1 in %2</source>
        <translation>%1 in %2 gespeichert</translation>
    </message>
    <message>
        <source>No file manager opened; the file is %1</source>
        <translation>Kein Dateimanager hat sich geöffnet; die Datei ist %1</translation>
    </message>
</context>
<context>
    <name>stringart::ExportRunner</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>%1
About %2 left</source>
        <translation>%1
Noch etwa %2</translation>
    </message>
</context>
<context>
    <name>stringart::Exports</name>
    <message>
        <source>Another file is being written; wait for it or cancel it.</source>
        <translation>Es wird gerade eine andere Datei geschrieben; warten Sie darauf oder brechen Sie sie ab.</translation>
    </message>
    <message>
        <source>Writing %1…</source>
        <translation>%1 wird geschrieben…</translation>
    </message>
    <message>
        <source>Drawing the wallpaper…</source>
        <translation>Das Hintergrundbild wird gezeichnet…</translation>
    </message>
    <message>
        <source>Saved %1 in %2; no desktop that stringart can set a wallpaper on is running: choose it in your desktop&apos;s settings</source>
        <translation>%1 in %2 gespeichert; es läuft keine Arbeitsumgebung, in der stringart ein Hintergrundbild festlegen kann: Wählen Sie es in den Einstellungen Ihrer Arbeitsumgebung</translation>
    </message>
    <message>
        <source>Wallpaper set on %3: %1 in %2</source>
        <translation>Hintergrundbild auf %3 festgelegt: %1 in %2</translation>
    </message>
</context>
<context>
    <name>stringart::Form1Window</name>
    <message>
        <source>Trace a new figure (%1; Space when focused)</source>
        <translation>Eine neue Figur zeichnen (%1; Leertaste, wenn ausgewählt)</translation>
    </message>
    <message>
        <source>Traces a new figure. Shortcuts: %1, or Space when focused.</source>
        <translation>Zeichnet eine neue Figur. Tastenkürzel: %1 oder die Leertaste, wenn ausgewählt.</translation>
    </message>
    <message>
        <source>Right-click, or %1, for the menu</source>
        <translation>Rechtsklick oder %1 für das Menü</translation>
    </message>
    <message>
        <source>&amp;New figure</source>
        <translation>&amp;Neue Figur</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>&amp;Forward</source>
        <translation>V&amp;orwärts</translation>
    </message>
    <message>
        <source>&amp;Save picture as…</source>
        <translation>Bild &amp;speichern unter…</translation>
    </message>
    <message>
        <source>&amp;Copy picture</source>
        <translation>Bild &amp;kopieren</translation>
    </message>
    <message>
        <source>Copy figure co&amp;mmand</source>
        <translation>&amp;Render-Befehl der Figur kopieren</translation>
    </message>
    <message>
        <source>&amp;Open figure…</source>
        <translation>Figur ö&amp;ffnen…</translation>
    </message>
    <message>
        <source>Save &amp;large picture…</source>
        <translation>&amp;Großes Bild speichern…</translation>
    </message>
    <message>
        <source>Save &amp;animation…</source>
        <translation>&amp;Animation speichern…</translation>
    </message>
    <message>
        <source>Save for &amp;paper…</source>
        <translation>Für &amp;Papier speichern…</translation>
    </message>
    <message>
        <source>&amp;Variations…</source>
        <translation>&amp;Variationen…</translation>
    </message>
    <message>
        <source>Ad&amp;just…</source>
        <translation>Anpass&amp;en…</translation>
    </message>
    <message>
        <source>F&amp;ull screen</source>
        <translation>Voll&amp;bild</translation>
    </message>
    <message>
        <source>Sli&amp;deshow</source>
        <translation>Diasho&amp;w</translation>
    </message>
    <message>
        <source>&amp;Keys and options…</source>
        <translation>&amp;Tasten und Optionen…</translation>
    </message>
    <message>
        <source>&amp;About stringart</source>
        <translation>Ü&amp;ber stringart</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>Been&amp;den</translation>
    </message>
    <message>
        <source>No figure yet</source>
        <translation>Noch keine Figur</translation>
    </message>
    <message>
        <source>Earlier run, %L1 back</source>
        <translation>Früherer Lauf, %L1 zurück</translation>
    </message>
    <message>
        <source>Figure %L1 of %L2</source>
        <translation>Figur %L1 von %L2</translation>
    </message>
    <message>
        <source>Empty canvas</source>
        <translation>Leere Leinwand</translation>
    </message>
    <message>
        <source>Figure %1</source>
        <translation>Figur %1</translation>
    </message>
    <message>
        <source>Open figure</source>
        <translation>Figur öffnen</translation>
    </message>
    <message>
        <source>There is no figure to save yet.</source>
        <translation>Es gibt noch keine Figur zum Speichern.</translation>
    </message>
    <message>
        <source>Figures written by stringart (*.png *.svg *.mp4 *.webm *.hpgl *.plt *.pdf *.gcode)</source>
        <translation>Von stringart geschriebene Figuren (*.png *.svg *.mp4 *.webm *.hpgl *.plt *.pdf *.gcode)</translation>
    </message>
    <message>
        <source>Set as &amp;wallpaper</source>
        <translation>Als Hin&amp;tergrundbild festlegen</translation>
    </message>
    <message>
        <source>Set as wallpaper</source>
        <translation>Als Hintergrundbild festlegen</translation>
    </message>
    <message>
        <source>Pr&amp;int…</source>
        <translation>Dr&amp;ucken…</translation>
    </message>
</context>
<context>
    <name>stringart::FullScreenView</name>
    <message>
        <source>Form1 slideshow</source>
        <translation>Form1 – Diashow</translation>
    </message>
</context>
<context>
    <name>stringart::GalleryModel</name>
    <message>
        <source>d MMM HH:mm</source>
        <translation>d. MMM HH:mm</translation>
    </message>
    <message>
        <source>d MMM yyyy</source>
        <translation>d. MMM yyyy</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>%1, %2: %3</source>
        <translation>%1, %2: %3</translation>
    </message>
    <message>
        <source>figure-%1</source>
        <translation>figure-%1</translation>
    </message>
</context>
<context>
    <name>stringart::GalleryTile</name>
    <message>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
</context>
<context>
    <name>stringart::GalleryWindow</name>
    <message>
        <source>Favourites</source>
        <translation>Favoriten</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Save a morph from the figure selected first to the one selected last (Ctrl+M)</source>
        <translation>Eine Überblendung von der zuerst zur zuletzt ausgewählten Figur speichern (Strg+M)</translation>
    </message>
    <message>
        <source>Open figures…</source>
        <translation>Figuren öffnen…</translation>
    </message>
    <message>
        <source>Figures</source>
        <translation>Galerie</translation>
    </message>
    <message>
        <source>Newest shown first</source>
        <translation>Zuletzt gezeigte zuerst</translation>
    </message>
    <message>
        <source>Latest marked first</source>
        <translation>Zuletzt markierte zuerst</translation>
    </message>
    <message>
        <source>All days</source>
        <translation>Alle Tage</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>This week</source>
        <translation>Diese Woche</translation>
    </message>
    <message>
        <source>Search notes</source>
        <translation>Notizen durchsuchen</translation>
    </message>
    <message>
        <source>Only the figures whose note holds this text (Ctrl+F)</source>
        <translation>Nur die Figuren, deren Notiz diesen Text enthält (Strg+F)</translation>
    </message>
    <message>
        <source>Clear the search</source>
        <translation>Suche leeren</translation>
    </message>
    <message>
        <source>Add the figures of a figures file to the journal (Ctrl+O)</source>
        <translation>Die Figuren einer Figurendatei ins Tagebuch aufnehmen (Strg+O)</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>&amp;Favourite</source>
        <translation>&amp;Favorit</translation>
    </message>
    <message>
        <source>&amp;Note…</source>
        <translation>&amp;Notiz…</translation>
    </message>
    <message>
        <source>Save &amp;picture…</source>
        <translation>Bild &amp;speichern…</translation>
    </message>
    <message>
        <source>Save f&amp;igures…</source>
        <translation>F&amp;iguren speichern…</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menü</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Open figures</source>
        <translation>Figuren öffnen</translation>
    </message>
    <message>
        <source>Select a figure first.</source>
        <translation>Wählen Sie zuerst eine Figur aus.</translation>
    </message>
    <message>
        <source>The figures were not saved to %1: %2.</source>
        <translation>Die Figuren wurden nicht in %1 gespeichert: %2.</translation>
    </message>
    <message numerus="yes">
        <source>Saved %n figure(s) to %1.</source>
        <translation>
            <numerusform>%n Figur in %1 gespeichert.</numerusform>
            <numerusform>%n Figuren in %1 gespeichert.</numerusform>
        </translation>
    </message>
    <message>
        <source>Save figures</source>
        <translation>Figuren speichern</translation>
    </message>
    <message>
        <source>Figures (*.json)</source>
        <translation>Figuren (*.json)</translation>
    </message>
    <message>
        <source>%1 was not opened: %2. Nothing was added.</source>
        <translation>%1 wurde nicht geöffnet: %2. Es wurde nichts aufgenommen.</translation>
    </message>
    <message>
        <source>The figures of %1 were not added: %2.</source>
        <translation>Die Figuren aus %1 wurden nicht aufgenommen: %2.</translation>
    </message>
    <message numerus="yes">
        <source>Added %n figure(s) from %1.</source>
        <translation>
            <numerusform>%n Figur aus %1 aufgenommen.</numerusform>
            <numerusform>%n Figuren aus %1 aufgenommen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them were kept already.</source>
        <translation>
            <numerusform>Davon war %n schon vorhanden.</numerusform>
            <numerusform>Davon waren %n schon vorhanden.</numerusform>
        </translation>
    </message>
    <message>
        <source>Select two figures: the morph goes from the one selected first to the one selected last.</source>
        <translation>Wählen Sie zwei Figuren aus: Die Überblendung geht von der zuerst zur zuletzt ausgewählten.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederherstellen</translation>
    </message>
</context>
<context>
    <name>stringart::HelpWindow</name>
    <message>
        <source>Keys and options</source>
        <translation>Tasten und Optionen</translation>
    </message>
    <message>
        <source>Keys in the window</source>
        <translation>Tasten im Fenster</translation>
    </message>
    <message>
        <source>The mouse&apos;s back and forward buttons go back and forward too; Space presses &quot;new&quot; when it has the focus.</source>
        <translation>Die Zurück- und Vorwärts-Tasten der Maus blättern ebenso; die Leertaste drückt „new“, wenn es ausgewählt ist.</translation>
    </message>
    <message>
        <source>The command line</source>
        <translation>Die Befehlszeile</translation>
    </message>
    <message>
        <source>Keys in the gallery (Figures)</source>
        <translation>Tasten in der Galerie</translation>
    </message>
    <message>
        <source>Keys in Variations</source>
        <translation>Tasten in „Variationen“</translation>
    </message>
    <message>
        <source>Keys in Adjust</source>
        <translation>Tasten in „Anpassen“</translation>
    </message>
</context>
<context>
    <name>stringart::JournalLink</name>
    <message>
        <source>Favour&amp;ite</source>
        <translation>Favor&amp;it</translation>
    </message>
    <message>
        <source>Figu&amp;res…</source>
        <translation>Ga&amp;lerie…</translation>
    </message>
    <message>
        <source>The journal of figures could not be read. It was set aside as %1, and a fresh one has begun.</source>
        <translation>Das Tagebuch der Figuren konnte nicht gelesen werden. Es wurde als %1 beiseitegelegt, und ein neues hat begonnen.</translation>
    </message>
    <message>
        <source>%1 holds another program&apos;s data, not figures. It was set aside as %2, and a fresh journal of figures has begun.</source>
        <translation>%1 enthält die Daten eines anderen Programms, keine Figuren. Die Datei wurde als %2 beiseitegelegt, und ein neues Tagebuch der Figuren hat begonnen.</translation>
    </message>
    <message>
        <source>Figures are not being kept: neither XDG_DATA_HOME nor HOME names a folder for them.</source>
        <translation>Figuren werden nicht aufbewahrt: Weder XDG_DATA_HOME noch HOME nennt einen Ordner dafür.</translation>
    </message>
    <message>
        <source>Figures are not being kept: %1 was written by a newer stringart; it is left as it is.</source>
        <translation>Figuren werden nicht aufbewahrt: %1 wurde von einem neueren stringart geschrieben; die Datei bleibt, wie sie ist.</translation>
    </message>
    <message>
        <source>Figures are not being kept: %1 cannot be written (%2).</source>
        <translation>Figuren werden nicht aufbewahrt: In %1 kann nicht geschrieben werden (%2).</translation>
    </message>
    <message>
        <source>Keeping figures</source>
        <translation>Figuren aufbewahren</translation>
    </message>
</context>
<context>
    <name>stringart::MorphButton</name>
    <message>
        <source>Save morph</source>
        <translation>Überblendung speichern</translation>
    </message>
    <message>
        <source>MP4 video, H.264 (*.mp4)</source>
        <translation>MP4-Video, H.264 (*.mp4)</translation>
    </message>
    <message>
        <source>WebM video, VP9 (*.webm)</source>
        <translation>WebM-Video, VP9 (*.webm)</translation>
    </message>
    <message>
        <source>Save morph…</source>
        <translation>Überblendung speichern…</translation>
    </message>
</context>
<context>
    <name>stringart::PaperDialog</name>
    <message>
        <source>Save for paper</source>
        <translation>Für Papier speichern</translation>
    </message>
    <message>
        <source>Plotter SVG, a layer for each pen</source>
        <translation>Plotter-SVG, eine Ebene je Stift</translation>
    </message>
    <message>
        <source>HPGL for a pen plotter</source>
        <translation>HPGL für einen Stiftplotter</translation>
    </message>
    <message>
        <source>PDF to print, vectors</source>
        <translation>PDF zum Drucken, Vektoren</translation>
    </message>
    <message>
        <source>PNG to print</source>
        <translation>PNG zum Drucken</translation>
    </message>
    <message>
        <source>&amp;Kind:</source>
        <translation>&amp;Art:</translation>
    </message>
    <message>
        <source>%1 (%2 × %3 mm)</source>
        <translation>%1 (%2 × %3 mm)</translation>
    </message>
    <message>
        <source>Other size</source>
        <translation>Andere Größe</translation>
    </message>
    <message>
        <source>Paper width</source>
        <translation>Papierbreite</translation>
    </message>
    <message>
        <source>Paper height</source>
        <translation>Papierhöhe</translation>
    </message>
    <message>
        <source>Portrait</source>
        <translation>Hochformat</translation>
    </message>
    <message>
        <source>Landscape, the longer side across</source>
        <translation>Querformat, die längere Seite waagrecht</translation>
    </message>
    <message>
        <source>&amp;Paper:</source>
        <translation>&amp;Papier:</translation>
    </message>
    <message>
        <source>&amp;Width × height:</source>
        <translation>&amp;Breite × Höhe:</translation>
    </message>
    <message>
        <source>&amp;Orientation:</source>
        <translation>A&amp;usrichtung:</translation>
    </message>
    <message>
        <source>&amp;Margin:</source>
        <translation>&amp;Rand:</translation>
    </message>
    <message>
        <source>Figure&apos;s colours</source>
        <translation>Farben der Figur</translation>
    </message>
    <message>
        <source>The figure&apos;s colours brought down to this many pens</source>
        <translation>Die Farben der Figur auf so viele Stifte gebracht</translation>
    </message>
    <message>
        <source> dpi</source>
        <translation> dpi</translation>
    </message>
    <message>
        <source>White paper: no black ground</source>
        <translation>Weißes Papier: kein schwarzer Grund</translation>
    </message>
    <message>
        <source>P&amp;ens:</source>
        <translation>&amp;Stifte:</translation>
    </message>
    <message>
        <source>Pen wi&amp;dth:</source>
        <translation>Stift&amp;dicke:</translation>
    </message>
    <message>
        <source>&amp;Resolution:</source>
        <translation>Au&amp;flösung:</translation>
    </message>
    <message>
        <source>Pen %1</source>
        <translation>Stift %1</translation>
    </message>
    <message>
        <source>Pen %1, %2: click for another colour</source>
        <translation>Stift %1, %2: für eine andere Farbe klicken</translation>
    </message>
    <message>
        <source>Pen %1, %2</source>
        <translation>Stift %1, %2</translation>
    </message>
    <message>
        <source>%1 pen, pen-down %2 m, pen-up %3 m (drawing order %4 m), about %5 min at %6 mm/s.</source>
        <translation>%1 Stift, abgesenkt %2 m, angehoben %3 m (in Zeichenreihenfolge %4 m), etwa %5 min bei %6 mm/s.</translation>
    </message>
    <message>
        <source>%1 pens, pen-down %2 m, pen-up %3 m (drawing order %4 m), about %5 min at %6 mm/s.</source>
        <translation>%1 Stifte, abgesenkt %2 m, angehoben %3 m (in Zeichenreihenfolge %4 m), etwa %5 min bei %6 mm/s.</translation>
    </message>
    <message>
        <source>A page of %1 × %2 mm, the figure in a %3 mm square on white, every stroke a vector.</source>
        <translation>Eine Seite von %1 × %2 mm, die Figur in einem Quadrat von %3 mm auf Weiß, jeder Strich ein Vektor.</translation>
    </message>
    <message>
        <source>A page of %1 × %2 mm, the figure in a %3 mm square on black, every stroke a vector.</source>
        <translation>Eine Seite von %1 × %2 mm, die Figur in einem Quadrat von %3 mm auf Schwarz, jeder Strich ein Vektor.</translation>
    </message>
    <message>
        <source>%1 × %2 pixels at %3 dpi, printed %4 × %5 mm.</source>
        <translation>%1 × %2 Pixel bei %3 dpi, gedruckt %4 × %5 mm.</translation>
    </message>
    <message>
        <source>Give the file a name.</source>
        <translation>Geben Sie der Datei einen Namen.</translation>
    </message>
    <message>
        <source>An HPGL file&apos;s name ends in .hpgl or .plt.</source>
        <translation>Der Name einer HPGL-Datei endet auf .hpgl oder .plt.</translation>
    </message>
    <message>
        <source>This kind of file&apos;s name ends in %1.</source>
        <translation>Der Name dieser Art von Datei endet auf %1.</translation>
    </message>
    <message>
        <source>G-code for a pen plotter (GRBL)</source>
        <translation>G-Code für einen Stiftplotter (GRBL)</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source> min</source>
        <translation> min</translation>
    </message>
    <message>
        <source>The longest the plot may take; lines are left out until it fits</source>
        <translation>Wie lange der Plot höchstens dauern darf; Linien werden weggelassen, bis er passt</translation>
    </message>
    <message>
        <source>The paper&apos;s colour: click for another</source>
        <translation>Die Farbe des Papiers: klicken für eine andere</translation>
    </message>
    <message>
        <source>Plot &amp;time:</source>
        <translation>Plot&amp;zeit:</translation>
    </message>
    <message>
        <source>Paper &amp;colour:</source>
        <translation>Pap&amp;ierfarbe:</translation>
    </message>
    <message>
        <source>Paper colour</source>
        <translation>Papierfarbe</translation>
    </message>
    <message>
        <source>Paper colour, %1</source>
        <translation>Papierfarbe, %1</translation>
    </message>
</context>
<context>
    <name>stringart::PictureChoice</name>
    <message>
        <source>Save picture</source>
        <translation>Bild speichern</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>PNG-Bild (*.png)</translation>
    </message>
    <message>
        <source>SVG drawing (*.svg)</source>
        <translation>SVG-Zeichnung (*.svg)</translation>
    </message>
</context>
<context>
    <name>stringart::Printing</name>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Printing on %1…</source>
        <translation>Drucke auf %1…</translation>
    </message>
    <message>
        <source>The printer cannot be used.</source>
        <translation>Der Drucker lässt sich nicht verwenden.</translation>
    </message>
    <message>
        <source>The figure could not be sent to the printer.</source>
        <translation>Die Figur ließ sich nicht an den Drucker senden.</translation>
    </message>
</context>
<context>
    <name>stringart::VariationsWindow</name>
    <message>
        <source>Select a figure around the centre to morph into.</source>
        <translation>Wählen Sie eine Figur rund um die Mitte aus, in die übergeblendet wird.</translation>
    </message>
    <message>
        <source>Save a morph from the centre to the selected figure (Ctrl+M)</source>
        <translation>Eine Überblendung von der Mitte zur ausgewählten Figur speichern (Strg+M)</translation>
    </message>
    <message>
        <source>Variations</source>
        <translation>Variationen</translation>
    </message>
    <message>
        <source>How far the variations stray (Tab, then arrow keys)</source>
        <translation>Wie weit die Variationen abweichen (Tab, dann die Pfeiltasten)</translation>
    </message>
    <message>
        <source>Strength</source>
        <translation>Stärke</translation>
    </message>
    <message>
        <source>subtle</source>
        <translation>sanft</translation>
    </message>
    <message>
        <source>wild</source>
        <translation>wild</translation>
    </message>
    <message>
        <source>Arrows select, Enter or a click shows, Space shuffles.</source>
        <translation>Pfeiltasten wählen aus, Eingabe oder ein Klick zeigt, die Leertaste mischt neu.</translation>
    </message>
</context>
</TS>
