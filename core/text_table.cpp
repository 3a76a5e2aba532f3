// The interface texts in English, German, French and Spanish, and the mapping between
// Windows locale names and the table's columns.
#include "core/text_table.h"

#include "archive/archive_host.h"
#include "core/app_state.h"

// Non-ASCII characters are written as universal character names so that every compiler
// produces the same UTF-16 whatever it assumes about the source encoding.
const wchar_t* const TextTable[TextCount][LanguageCount] = {
    // Tagline
    {L"A place. Two moments.", L"Ein Ort. Zwei Momente.", L"Un lieu. Deux instants.",
     L"Un lugar. Dos momentos."},
    // FieldArchive
    {L"FIELD ARCHIVE", L"BILDARCHIV", L"ARCHIVES", L"ARCHIVO VISUAL"},
    // SavedPairs
    {L"SAVED PAIRS", L"GESPEICHERTE PAARE", L"PAIRES ENREGISTR\u00C9ES", L"PARES GUARDADOS"},
    // LocalPhotos
    {L"+ Local photos", L"+ Eigene Fotos", L"+ Photos locales", L"+ Fotos locales"},
    // FirstYear
    {L"First year", L"Erstes Jahr", L"Premi\u00E8re ann\u00E9e", L"Primer a\u00F1o"},
    // SecondYear
    {L"Second year", L"Zweites Jahr", L"Deuxi\u00E8me ann\u00E9e", L"Segundo a\u00F1o"},
    // LoadYears
    {L"Load years", L"Jahre laden", L"Charger", L"Cargar a\u00F1os"},
    // FetchFromArchive
    {L"Fetch from NASA", L"Von NASA laden", L"T\u00E9l\u00E9charger NASA", L"Descargar NASA"},
    // SavePair
    {L"Save pair", L"Paar speichern", L"Enregistrer", L"Guardar par"},
    // Swap
    {L"Swap", L"Tauschen", L"Inverser", L"Invertir"},
    // Fit
    {L"Fit", L"Einpassen", L"Ajuster", L"Ajustar"},
    // HideToTray
    {L"Hide to tray", L"Im Infobereich", L"Masquer", L"Ocultar"},
    // Exit
    {L"Exit", L"Beenden", L"Quitter", L"Salir"},
    // OpenApp
    {L"Open Driftpane", L"Driftpane \u00F6ffnen", L"Ouvrir Driftpane", L"Abrir Driftpane"},
    // HelpLabel
    {L"Help", L"Hilfe", L"Aide", L"Ayuda"},
    // Ready
    {L"Ready. Photos stay on this computer.", L"Bereit. Fotos bleiben auf diesem Computer.",
     L"Pr\u00EAt. Les photos restent sur cet ordinateur.",
     L"Listo. Las fotos permanecen en este equipo."},
    // Downloading
    {L"Downloading two images from " DRIFTPANE_ARCHIVE_HOST L"...",
     L"Zwei Bilder von " DRIFTPANE_ARCHIVE_HOST L" werden geladen...",
     L"T\u00E9l\u00E9chargement de deux images depuis " DRIFTPANE_ARCHIVE_HOST L"...",
     L"Descargando dos im\u00E1genes de " DRIFTPANE_ARCHIVE_HOST L"..."},
    // Downloaded
    {L"Both images downloaded and verified against the archive.",
     L"Beide Bilder geladen und mit dem Archiv gepr\u00FCft.",
     L"Les deux images ont \u00E9t\u00E9 t\u00E9l\u00E9charg\u00E9es et v\u00E9rifi\u00E9es.",
     L"Ambas im\u00E1genes descargadas y verificadas."},
    // PairSaved
    {L"Pair saved locally. Select it in Saved pairs.",
     L"Paar lokal gespeichert. Im Archiv ausw\u00E4hlbar.",
     L"Paire enregistr\u00E9e localement dans la liste.",
     L"Par guardado localmente. Selecci\u00F3nalo en la lista."},
    // CannotReadPhotos
    {L"Cannot read these photos. Use JPEG, PNG or BMP, up to 40 MiB and 80 megapixels each.",
     L"Fotos nicht lesbar. JPEG, PNG oder BMP, bis 40 MiB und 80 Megapixel pro Bild.",
     L"Photos illisibles. JPEG, PNG ou BMP, 40 Mio et 80 m\u00E9gapixels maximum par image.",
     L"No se pueden leer. Usa JPEG, PNG o BMP, hasta 40 MiB y 80 megap\u00EDxeles por foto."},
    // InvalidYears
    {L"Enter two different years between 1800 and 2200.",
     L"Zwei unterschiedliche Jahre zwischen 1800 und 2200 eingeben.",
     L"Saisissez deux ann\u00E9es diff\u00E9rentes entre 1800 et 2200.",
     L"Introduce dos a\u00F1os distintos entre 1800 y 2200."},
    // InvalidSavedPair
    {L"This saved pair is incomplete or invalid. The current pair has been kept.",
     L"Dieses Paar ist unvollst\u00E4ndig oder ung\u00FCltig. Das aktuelle Paar bleibt erhalten.",
     L"Paire incompl\u00E8te ou invalide. La paire actuelle est conserv\u00E9e.",
     L"Par incompleto o inv\u00E1lido. Se ha conservado el par actual."},
    // CannotSave
    {L"Cannot save locally. Check free disk space and folder permissions.",
     L"Speichern fehlgeschlagen. Speicherplatz und Ordnerrechte pr\u00FCfen.",
     L"\u00C9chec de sauvegarde. V\u00E9rifiez l'espace disque et les droits du dossier.",
     L"No se puede guardar. Revisa el espacio y los permisos de la carpeta."},
    // DownloadFailed
    {L"Download failed or the source changed. Offline photos remain available. Try again later.",
     L"Download fehlgeschlagen oder Quelle ge\u00E4ndert. Offline-Fotos bleiben verf\u00FCgbar.",
     L"\u00C9chec du t\u00E9l\u00E9chargement ou source modifi\u00E9e. Les photos hors ligne "
     L"restent disponibles.",
     L"Descarga fallida o fuente modificada. Las fotos sin conexi\u00F3n siguen disponibles."},
    // WaitForDownload
    {L"Please wait for the current download.", L"Bitte auf den aktuellen Download warten.",
     L"Attendez le t\u00E9l\u00E9chargement en cours.",
     L"Espera a que termine la descarga actual."},
    // ImportTitle
    {L"Import a local pair", L"Lokales Paar importieren", L"Importer une paire locale",
     L"Importar un par local"},
    // FirstPhotoPath
    {L"First photo - full file path", L"Erstes Foto - vollst\u00E4ndiger Pfad",
     L"Premi\u00E8re photo - chemin complet", L"Primera foto - ruta completa"},
    // SecondPhotoPath
    {L"Second photo - full file path", L"Zweites Foto - vollst\u00E4ndiger Pfad",
     L"Deuxi\u00E8me photo - chemin complet", L"Segunda foto - ruta completa"},
    // ImportPair
    {L"Import pair", L"Paar importieren", L"Importer", L"Importar par"},
    // Cancel
    {L"Cancel", L"Abbrechen", L"Annuler", L"Cancelar"},
    // DropHint
    {L"Drop two photos here, or enter their full paths.",
     L"Zwei Fotos hier ablegen oder vollst\u00E4ndige Pfade eingeben.",
     L"D\u00E9posez deux photos ici ou saisissez leurs chemins complets.",
     L"Suelta dos fotos aqu\u00ED o introduce sus rutas completas."},
    // ViewHint
    {L"Drag the divider  /  Scroll to zoom  /  Shift + drag to pan",
     L"Trennlinie ziehen  /  Scrollen: Zoom  /  Umschalt + Ziehen: Verschieben",
     L"Glisser le curseur  /  Molette : zoom  /  Maj + glisser : d\u00E9placer",
     L"Arrastra el divisor  /  Rueda: zoom  /  May\u00FAs + arrastrar: mover"},
    // OfflineNote
    {L"Offline by default. No accounts. No telemetry.",
     L"Standardm\u00E4\u00DFig offline. Kein Konto. Keine Telemetrie.",
     L"Hors ligne par d\u00E9faut. Sans compte ni t\u00E9l\u00E9m\u00E9trie.",
     L"Sin conexi\u00F3n por defecto. Sin cuentas ni telemetr\u00EDa."},
    // SavedPairsEmpty
    {L"Your saved pairs appear here.", L"Gespeicherte Paare erscheinen hier.",
     L"Vos paires appara\u00EEtront ici.", L"Tus pares aparecer\u00E1n aqu\u00ED."},
    // LocalTime
    {L"Local time", L"Ortszeit", L"Heure locale", L"Hora local"},
    // LocalPair
    {L"Local pair", L"Lokales Paar", L"Paire locale", L"Par local"},
    // PngExported
    {L"PNG exported to the local Exports folder.", L"PNG im lokalen Ordner Exports gespeichert.",
     L"PNG export\u00E9 dans le dossier local Exports.",
     L"PNG exportado a la carpeta local Exports."},
    // ExportPng
    {L"Export PNG", L"PNG exportieren", L"Exporter PNG", L"Exportar PNG"},
    // Zoom
    {L"Zoom", L"Zoom", L"Zoom", L"Zoom"},
    // FitNote
    {L"Photos are fitted independently. Use matching viewpoints for accurate comparison.",
     L"Bilder werden einzeln eingepasst. Gleiche Blickwinkel erleichtern den Vergleich.",
     L"Images ajust\u00E9es s\u00E9par\u00E9ment. Utilisez le m\u00EAme point de vue pour "
     L"comparer.",
     L"Las fotos se ajustan por separado. Usa el mismo punto de vista para comparar."},
    // HelpText
    {L"Driftpane 1.0"
     L"\n\n"
     L"Drag the divider or use the slider arrow keys. Scroll over the photo to zoom. Hold Shift "
     L"and drag to pan. Fit resets the view."
     L"\n\n"
     L"Close or Hide keeps the app in the system tray. Use Exit to stop it. No automatic startup "
     L"is installed."
     L"\n\n"
     L"Import two local JPEG, PNG or BMP files and their years. Photos are kept in memory until "
     L"you save a pair. Saved pairs and PNG exports are stored in LocalAppData/Driftpane. Save "
     L"uses a new file and never overwrites a pair."
     L"\n\n"
     L"NASA Earth Observatory archive: 71 original images of three locations. Credits: NASA Earth "
     L"Observatory; MODIS and Landsat data, NASA/USGS. Some satellite images use false color. No "
     L"NASA endorsement."
     L"\n\n"
     L"Network access occurs only after Fetch from NASA. HTTPS only, no redirects, no uploads, no "
     L"tracking. The response must match the bundled SHA-256."
     L"\n\n"
     L"UI languages: English, German, French, Spanish. Other UI languages use English. The local "
     L"time zone and 12/24-hour preference follow Windows."
     L"\n\n"
     L"Original archive sources and image hashes are provided in the accompanying source catalog.",
     L"Driftpane 1.0"
     L"\n\n"
     L"Trennlinie ziehen oder Pfeiltasten am Regler verwenden. Mausrad: Zoom. Umschalt + Ziehen: "
     L"Verschieben. Einpassen setzt die Ansicht zur\u00FCck."
     L"\n\n"
     L"Schlie\u00DFen blendet die App in den Infobereich aus. Beenden stoppt sie. Kein Autostart."
     L"\n\n"
     L"Zwei lokale JPEG-, PNG- oder BMP-Dateien mit Jahreszahlen importieren. Erst Speichern legt "
     L"eine lokale Kopie an. Paare und PNG-Dateien liegen unter LocalAppData/Driftpane."
     L"\n\n"
     L"NASA Earth Observatory: 71 Originalbilder, drei Orte. Bildnachweis: NASA Earth Observatory; "
     L"MODIS und Landsat, NASA/USGS. Teilweise Falschfarben. Keine Unterst\u00FCtzung durch NASA."
     L"\n\n"
     L"Netzwerk nur mit Von NASA laden. HTTPS, keine Weiterleitungen oder Uploads. "
     L"SHA-256-Pr\u00FCfung gegen das Archiv."
     L"\n\n"
     L"Sprachen: Englisch, Deutsch, Franz\u00F6sisch, Spanisch. Andere Sprachen: Englisch. "
     L"Zeitzone und Zeitformat folgen Windows.",
     L"Driftpane 1.0"
     L"\n\n"
     L"Glissez le s\u00E9parateur ou utilisez les fl\u00E8ches du curseur. Molette : zoom. Maj + "
     L"glisser : d\u00E9placer. Ajuster r\u00E9initialise la vue."
     L"\n\n"
     L"Fermer masque l'application dans la zone de notification. Quitter l'arr\u00EAte. Aucun "
     L"d\u00E9marrage automatique."
     L"\n\n"
     L"Importez deux fichiers JPEG, PNG ou BMP avec leurs ann\u00E9es. Enregistrer cr\u00E9e une "
     L"copie locale. Les paires et les PNG sont dans LocalAppData/Driftpane."
     L"\n\n"
     L"NASA Earth Observatory : 71 images originales, trois lieux. Cr\u00E9dits : NASA Earth "
     L"Observatory ; MODIS et Landsat, NASA/USGS. Certaines images sont en fausses couleurs. Sans "
     L"approbation de la NASA."
     L"\n\n"
     L"R\u00E9seau uniquement avec T\u00E9l\u00E9charger NASA. HTTPS sans redirection, aucun "
     L"envoi. V\u00E9rification SHA-256 avec les archives."
     L"\n\n"
     L"Langues : anglais, allemand, fran\u00E7ais, espagnol. Sinon : anglais. Fuseau et format "
     L"horaire suivent Windows.",
     L"Driftpane 1.0"
     L"\n\n"
     L"Arrastra el divisor o usa las flechas del control. Rueda: zoom. May\u00FAs + arrastrar: "
     L"mover. Ajustar restablece la vista."
     L"\n\n"
     L"Cerrar oculta la aplicaci\u00F3n en la bandeja. Salir la detiene. Sin inicio "
     L"autom\u00E1tico."
     L"\n\n"
     L"Importa dos archivos JPEG, PNG o BMP con sus a\u00F1os. Guardar crea una copia local. Los "
     L"pares y PNG est\u00E1n en LocalAppData/Driftpane."
     L"\n\n"
     L"NASA Earth Observatory: 71 im\u00E1genes originales, tres lugares. Cr\u00E9ditos: NASA "
     L"Earth Observatory; MODIS y Landsat, NASA/USGS. Algunas im\u00E1genes usan falso color. Sin "
     L"respaldo de la NASA."
     L"\n\n"
     L"Red solo al pulsar Descargar NASA. HTTPS sin redirecciones ni subidas. Verificaci\u00F3n "
     L"SHA-256 contra el archivo."
     L"\n\n"
     L"Idiomas: ingl\u00E9s, alem\u00E1n, franc\u00E9s y espa\u00F1ol. Otros: ingl\u00E9s. Zona y "
     L"formato horario siguen Windows."},
    // LanguageName
    {L"English", L"Deutsch", L"Fran\u00E7ais", L"Espa\u00F1ol"},
    // SystemLanguageNote
    {L"System language and local time", L"Systemsprache und Ortszeit",
     L"Langue et heure du syst\u00E8me", L"Idioma y hora del sistema"},
};

const wchar_t* localizedText(TextId id) {
    const int row = static_cast<int>(id);
    if (row < 0 || row >= TextCount) {
        return L"";
    }
    std::int32_t column = appState.languageIndex;
    if (column < 0 || column >= LanguageCount) {
        column = 0;
    }
    return TextTable[row][column];
}

std::int32_t languageIndexForLocaleName(std::wstring_view localeName) {
    const std::wstring_view prefix = localeName.substr(0, 2);
    if (prefix == L"de") {
        return 1;
    }
    if (prefix == L"fr") {
        return 2;
    }
    if (prefix == L"es") {
        return 3;
    }
    return 0;
}

const wchar_t* localeNameForLanguage(std::int32_t languageIndex) {
    static constexpr const wchar_t* LocaleNames[LanguageCount] = {L"en-US", L"de-DE", L"fr-FR",
                                                                  L"es-ES"};
    if (languageIndex < 0 || languageIndex >= LanguageCount) {
        return LocaleNames[0];
    }
    return LocaleNames[languageIndex];
}
