<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Settings</name>
    <message>
        <source>French</source>
        <translation>français</translation>
    </message>
    <message>
        <source>English</source>
        <translation>anglais</translation>
    </message>
    <message>
        <source>Unknown language "%1" in the setting language (en or fr): %2 is used</source>
        <translation>Langue inconnue « %1 » dans le réglage language (en ou fr) : le %2 est utilisé</translation>
    </message>
</context>
</TS>
