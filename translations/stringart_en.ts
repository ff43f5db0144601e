<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>QObject</name>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>and %n more</numerusform>
            <numerusform>and %n more</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>stringart::GalleryWindow</name>
    <message numerus="yes">
        <source>Saved %n figure(s) to %1.</source>
        <translation>
            <numerusform>Saved %n figure to %1.</numerusform>
            <numerusform>Saved %n figures to %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Added %n figure(s) from %1.</source>
        <translation>
            <numerusform>Added %n figure from %1.</numerusform>
            <numerusform>Added %n figures from %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them were kept already.</source>
        <translation>
            <numerusform>%n of them was kept already.</numerusform>
            <numerusform>%n of them were kept already.</numerusform>
        </translation>
    </message>
</context>
</TS>
