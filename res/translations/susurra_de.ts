<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CCoreText</name>
    <message>
        <source>nothing to do</source>
        <translation>nichts zu tun</translation>
    </message>
    <message>
        <source>generating noise signal</source>
        <translation>Rauschsignal wird erzeugt</translation>
    </message>
    <message>
        <source>playing</source>
        <translation>spielt</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>No audio mixer device found</source>
        <translation>Kein Audiogerät gefunden</translation>
    </message>
    <message>
        <source>I can&apos;t open the sound device</source>
        <translation>Ich kann das Audiogerät nicht öffnen</translation>
    </message>
    <message>
        <source>the name must end in .wav, .flac, .opus or .mp3 (the suffix chooses the file type)</source>
        <translation>Der Name muss auf .wav, .flac, .opus oder .mp3 enden (die Endung bestimmt den Dateityp)</translation>
    </message>
    <message>
        <source>a sound file can be at most 13:31:35 (48695 s) long</source>
        <translation>Eine Klangdatei darf höchstens 13:31:35 (48695 s) lang sein</translation>
    </message>
    <message>
        <source>a sound file can be at most 23:59:59 long</source>
        <translation>Eine Klangdatei darf höchstens 23:59:59 lang sein</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>Das ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>the file ends inside its 12-byte header</source>
        <translation>Die Datei endet innerhalb ihres 12-Byte-Kopfes</translation>
    </message>
    <message>
        <source>a text without its terminating zero byte was cut</source>
        <translation>Ein Text ohne abschließendes Nullbyte wurde gekürzt</translation>
    </message>
    <message>
        <source>a record without a name was skipped</source>
        <translation>Ein Eintrag ohne Namen wurde übersprungen</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: %2</source>
        <translation>Ich kann %1 nicht schreiben: %2</translation>
    </message>
    <message>
        <source>I can&apos;t write %1</source>
        <translation>Ich kann %1 nicht schreiben</translation>
    </message>
    <message>
        <source>I can&apos;t open %1: %2</source>
        <translation>Ich kann %1 nicht öffnen: %2</translation>
    </message>
    <message>
        <source>I can&apos;t open %1</source>
        <translation>Ich kann %1 nicht öffnen</translation>
    </message>
    <message>
        <source>I can&apos;t read %1: %2</source>
        <translation>Ich kann %1 nicht lesen: %2</translation>
    </message>
    <message>
        <source>I can&apos;t read %1</source>
        <translation>Ich kann %1 nicht lesen</translation>
    </message>
    <message>
        <source>I can&apos;t create the folder %1: %2</source>
        <translation>Ich kann den Ordner %1 nicht anlegen: %2</translation>
    </message>
    <message>
        <source>I can&apos;t create the folder %1</source>
        <translation>Ich kann den Ordner %1 nicht anlegen</translation>
    </message>
</context>
<context>
    <name>CDataExchange</name>
    <message>
        <source>Please enter a number.</source>
        <translation>Bitte geben Sie eine Zahl ein.</translation>
    </message>
    <message>
        <source>Please enter an integer.</source>
        <translation>Bitte geben Sie eine ganze Zahl ein.</translation>
    </message>
    <message>
        <source>Please enter a number between %1 and %2.</source>
        <translation>Bitte geben Sie eine Zahl zwischen %1 und %2 ein.</translation>
    </message>
    <message>
        <source>Please enter no more than %1 characters.</source>
        <translation>Bitte geben Sie höchstens %1 Zeichen ein.</translation>
    </message>
</context>
<context>
    <name>CDialogTemplate</name>
    <message>
        <source>About Susurra</source>
        <translation>Über Susurra</translation>
    </message>
    <message>
        <source>This is Susurra version 1.1</source>
        <translation>Dies ist Susurra, Version 1.1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Susurra - Denoise by Noise</source>
        <translation>Susurra - Ruhe durch Rauschen</translation>
    </message>
    <message>
        <source>Actions</source>
        <translation>Aktionen</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>&amp;Abspielen</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>&amp;Stopp</translation>
    </message>
    <message>
        <source>To &amp;File</source>
        <translation>In &amp;Datei</translation>
    </message>
    <message>
        <source>T&amp;ools</source>
        <translation>&amp;Extras</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Audio Settings</source>
        <translation>Audio-Einstellungen</translation>
    </message>
    <message>
        <source>Sound Devi&amp;ce</source>
        <translation>Ausgabegerät</translation>
    </message>
    <message>
        <source>&amp;Volume</source>
        <translation>Pege&amp;l</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>Sleep Timer</source>
        <translation>Einschlaf-Timer</translation>
    </message>
    <message>
        <source>Stop after:</source>
        <translation>Stopp nach:</translation>
    </message>
    <message>
        <source>Fade out over (min):</source>
        <translation>Ausblenden (min):</translation>
    </message>
    <message>
        <source>Then quit Susurra</source>
        <translation>Dann Susurra beenden</translation>
    </message>
    <message>
        <source>Noise Settings</source>
        <translation>Rausch-Einstellungen</translation>
    </message>
    <message>
        <source>&amp;Select Setting:</source>
        <translation>Aus&amp;wahl:</translation>
    </message>
    <message>
        <source>Save Setting</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Noise Type</source>
        <translation>Rauschart</translation>
    </message>
    <message>
        <source>Ph&amp;ysiological Noise</source>
        <translation>&amp;Physiologisch</translation>
    </message>
    <message>
        <source>&amp;White Noise</source>
        <translation>We&amp;iß</translation>
    </message>
    <message>
        <source>Pin&amp;k Noise</source>
        <translation>&amp;Rosa</translation>
    </message>
    <message>
        <source>Tinnitus F&amp;inder</source>
        <translation>&amp;Tinnitus-Suche</translation>
    </message>
    <message>
        <source>Fre&amp;quency (Hz):</source>
        <translation>Fre&amp;quenz (Hz):</translation>
    </message>
    <message>
        <source>&amp;Match…</source>
        <translation>S&amp;uche…</translation>
    </message>
    <message>
        <source>Frequency (Hz)</source>
        <translation>Frequenz (Hz)</translation>
    </message>
    <message>
        <source>20</source>
        <translation>20</translation>
    </message>
    <message>
        <source>20000</source>
        <translation>20000</translation>
    </message>
    <message>
        <source>Frequency Range</source>
        <translation>Frequenzbereich</translation>
    </message>
    <message>
        <source>&amp;Lower Limit (Hz):</source>
        <translation>&amp;Von (Hz):</translation>
    </message>
    <message>
        <source>&amp;Upper Limit (Hz):</source>
        <translation>Bis (Hz):</translation>
    </message>
    <message>
        <source>Surf Effect</source>
        <translation>Brandung</translation>
    </message>
    <message>
        <source>Stren&amp;gth (%):</source>
        <translation>Stär&amp;ke (%):</translation>
    </message>
    <message>
        <source>Pe&amp;riod (s):</source>
        <translation>&amp;Zyklus (s):</translation>
    </message>
    <message>
        <source>Signal Generator Status:</source>
        <translation>Signalerzeugung:</translation>
    </message>
    <message>
        <source>Program Status:</source>
        <translation>Programm:</translation>
    </message>
    <message>
        <source>Static</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>&amp;Endless (never repeats)</source>
        <translation>E&amp;ndlos (nie wiederholt)</translation>
    </message>
    <message>
        <source>&amp;Notch at tinnitus frequency</source>
        <translation>Kerb&amp;filter bei Tinnitusfrequenz</translation>
    </message>
    <message>
        <source>Wi&amp;dth:</source>
        <translation>Breite:</translation>
    </message>
    <message>
        <source>File Settings</source>
        <translation>Datei-Einstellungen</translation>
    </message>
    <message>
        <source>Select Setting:</source>
        <translation>Auswahl:</translation>
    </message>
    <message>
        <source>Fading</source>
        <translation>Ein-/Ausblenden</translation>
    </message>
    <message>
        <source>Fade-in (s):</source>
        <translation>Ein (s):</translation>
    </message>
    <message>
        <source>Fade-out (s):</source>
        <translation>Aus (s):</translation>
    </message>
    <message>
        <source>Total Playing Time</source>
        <translation>Gesamtspieldauer</translation>
    </message>
    <message>
        <source>hh:mm:ss</source>
        <translation>hh:mm:ss</translation>
    </message>
    <message>
        <source>File N&amp;ame:</source>
        <translation>Na&amp;me:</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Durchsuchen</translation>
    </message>
    <message>
        <source>Saving Status:</source>
        <translation>Speichern:</translation>
    </message>
    <message>
        <source>Gentle Sound</source>
        <translation>Sanfter Klang</translation>
    </message>
    <message>
        <source>Fade in at Play (s):</source>
        <translation>Einblenden (s):</translation>
    </message>
    <message>
        <source>Glide &amp;between sounds</source>
        <translation>Sanft überblenden</translation>
    </message>
    <message>
        <source>Manage Settings</source>
        <translation>Einstellungen verwalten</translation>
    </message>
    <message>
        <source>&amp;Enter new settings name:</source>
        <translation>&amp;Neuer Name:</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>&amp;Choose existing settings name:</source>
        <translation>&amp;Vorhandene Einstellung:</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Finished</source>
        <translation>&amp;Fertig</translation>
    </message>
    <message>
        <source>Brown Noise</source>
        <translation>Braun</translation>
    </message>
    <message>
        <source>Keep the computer awake while playing</source>
        <translation>Rechner beim Abspielen wach halten</translation>
    </message>
    <message>
        <source>Spectrum</source>
        <translation>Spektrum</translation>
    </message>
    <message>
        <source>Stereo (&amp;2 ears)</source>
        <translation>Stere&amp;o</translation>
    </message>
    <message>
        <source>Left:</source>
        <translation>Links:</translation>
    </message>
    <message>
        <source>Left ear</source>
        <translation>Linkes Ohr</translation>
    </message>
    <message>
        <source>Right:</source>
        <translation>Rechts:</translation>
    </message>
    <message>
        <source>Right ear</source>
        <translation>Rechtes Ohr</translation>
    </message>
    <message>
        <source>Shape to my hearing</source>
        <translation>Ans Gehör anpassen</translation>
    </message>
    <message>
        <source>Hearing Check…</source>
        <translation>Hörtest…</translation>
    </message>
    <message>
        <source>Tone in:</source>
        <translation>Ton:</translation>
    </message>
</context>
<context>
    <name>CDigitsEdit</name>
    <message>
        <source>Only digits can be typed here.</source>
        <translation>Hier können nur Ziffern eingegeben werden.</translation>
    </message>
</context>
<context>
    <name>CDlgSaveSet</name>
    <message>
        <source>Please enter a name for the new setting.</source>
        <translation>Bitte geben Sie einen Namen für die neue Einstellung ein.</translation>
    </message>
    <message>
        <source>I have no room for another noise setting. Please delete one you no longer need.</source>
        <translation>Für eine weitere Rausch-Einstellung ist kein Platz. Bitte löschen Sie eine, die Sie nicht mehr brauchen.</translation>
    </message>
    <message>
        <source>I have no room for another file setting. Please delete one you no longer need.</source>
        <translation>Für eine weitere Datei-Einstellung ist kein Platz. Bitte löschen Sie eine, die Sie nicht mehr brauchen.</translation>
    </message>
</context>
<context>
    <name>CHearingChart</name>
    <message>
        <source>Hearing profile chart</source>
        <translation>Diagramm des Hörprofils</translation>
    </message>
    <message>
        <source>No thresholds.</source>
        <translation>Keine Schwellen.</translation>
    </message>
    <message>
        <source>%1 Hz: %2 dBFS</source>
        <translation>%1 Hz: %2 dBFS</translation>
    </message>
    <message>
        <source>%1 Hz: not heard</source>
        <translation>%1 Hz: nicht gehört</translation>
    </message>
    <message>
        <source>Left ear</source>
        <translation>Linkes Ohr</translation>
    </message>
    <message>
        <source>Right ear</source>
        <translation>Rechtes Ohr</translation>
    </message>
    <message>
        <source>Both ears</source>
        <translation>Beide Ohren</translation>
    </message>
    <message>
        <source>%1: %2.</source>
        <translation>%1: %2.</translation>
    </message>
</context>
<context>
    <name>CHearingCheckDlg</name>
    <message>
        <source>Hearing Check</source>
        <translation>Hörtest</translation>
    </message>
    <message>
        <source>Not a medical device and not a clinical audiogram. The levels are relative to this sound device, with no absolute calibration. Set the system volume low before you start, and stop at once if a tone hurts or your tinnitus grows louder.</source>
        <translation>Kein Medizinprodukt und kein klinisches Audiogramm. Die Pegel beziehen sich auf dieses Audiogerät, ohne absolute Kalibrierung. Stellen Sie die Systemlautstärke vor dem Start leise, und brechen Sie sofort ab, wenn ein Ton schmerzt oder Ihr Tinnitus lauter wird.</translation>
    </message>
    <message>
        <source>Ear</source>
        <translation>Ohr</translation>
    </message>
    <message>
        <source>&amp;Left</source>
        <translation>&amp;Links</translation>
    </message>
    <message>
        <source>&amp;Right</source>
        <translation>&amp;Rechts</translation>
    </message>
    <message>
        <source>&amp;Both ears or loudspeakers</source>
        <translation>&amp;Beide Ohren oder Lautsprecher</translation>
    </message>
    <message>
        <source>Include &amp;12000 Hz</source>
        <translation>&amp;12000 Hz einbeziehen</translation>
    </message>
    <message>
        <source>&amp;Start the Check</source>
        <translation>Test &amp;starten</translation>
    </message>
    <message>
        <source>Did you hear the tone?</source>
        <translation>Haben Sie den Ton gehört?</translation>
    </message>
    <message>
        <source>&amp;Heard</source>
        <translation>&amp;Gehört</translation>
    </message>
    <message>
        <source>&amp;Not heard</source>
        <translation>&amp;Nicht gehört</translation>
    </message>
    <message>
        <source>Play &amp;again</source>
        <translation>&amp;Erneut abspielen</translation>
    </message>
    <message>
        <source>Each tone is three short pulses. Answer Heard only when you are sure.</source>
        <translation>Jeder Ton besteht aus drei kurzen Pulsen. Antworten Sie nur dann mit Gehört, wenn Sie sicher sind.</translation>
    </message>
    <message>
        <source>S&amp;top the Check</source>
        <translation>Test &amp;abbrechen</translation>
    </message>
    <message>
        <source>Clear the saved hearing profile? This cannot be undone.</source>
        <translation>Das gespeicherte Hörprofil löschen? Das lässt sich nicht rückgängig machen.</translation>
    </message>
    <message>
        <source>&amp;Yes, clear it</source>
        <translation>&amp;Ja, löschen</translation>
    </message>
    <message>
        <source>&amp;Keep it</source>
        <translation>Be&amp;halten</translation>
    </message>
    <message>
        <source>Clear Pro&amp;file…</source>
        <translation>Pro&amp;fil löschen…</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>Schl&amp;ießen</translation>
    </message>
    <message>
        <source>No hearing profile is saved yet.</source>
        <translation>Noch kein Hörprofil gespeichert.</translation>
    </message>
    <message>
        <source>Saved profile: %1, on %2.</source>
        <translation>Gespeichertes Profil: %1, auf %2.</translation>
    </message>
    <message>
        <source>Re&amp;do the Check</source>
        <translation>Test &amp;wiederholen</translation>
    </message>
    <message>
        <source>Checking: %1.</source>
        <translation>Geprüft wird: %1.</translation>
    </message>
    <message>
        <source>left ear</source>
        <translation>linkes Ohr</translation>
    </message>
    <message>
        <source>right ear</source>
        <translation>rechtes Ohr</translation>
    </message>
    <message>
        <source>both ears</source>
        <translation>beide Ohren</translation>
    </message>
    <message>
        <source>No sound device plays the tones: choose one in the main window. Nothing was saved.</source>
        <translation>Kein Audiogerät spielt die Töne: Wählen Sie eines im Hauptfenster. Nichts wurde gespeichert.</translation>
    </message>
    <message>
        <source>%1 Hz, %2</source>
        <translation>%1 Hz, %2</translation>
    </message>
    <message>
        <source>Frequency %1 of %2, tone %3 at this frequency.</source>
        <translation>Frequenz %1 von %2, Ton %3 bei dieser Frequenz.</translation>
    </message>
    <message>
        <source>The check was stopped; nothing was saved.</source>
        <translation>Der Test wurde abgebrochen; nichts wurde gespeichert.</translation>
    </message>
    <message>
        <source>The profile was not saved: %1</source>
        <translation>Das Profil wurde nicht gespeichert: %1</translation>
    </message>
    <message>
        <source>Saved: %1, on %2.</source>
        <translation>Gespeichert: %1, auf %2.</translation>
    </message>
</context>
<context>
    <name>CHelpCommand</name>
    <message>
        <source>I can&apos;t open %1</source>
        <translation>Ich kann %1 nicht öffnen</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
</context>
<context>
    <name>CMainDlg</name>
    <message>
        <source>Microsoft wave format (*.wav)</source>
        <translation>Microsoft-Wave-Format (*.wav)</translation>
    </message>
    <message>
        <source>FLAC, lossless (*.flac)</source>
        <translation>FLAC, verlustfrei (*.flac)</translation>
    </message>
    <message>
        <source>Ogg Opus (*.opus)</source>
        <translation>Ogg-Opus (*.opus)</translation>
    </message>
    <message>
        <source>MP3 (*.mp3)</source>
        <translation>MP3-Datei (*.mp3)</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>&amp;Abspielen</translation>
    </message>
    <message>
        <source>writing sound file</source>
        <translation>Klangdatei wird geschrieben</translation>
    </message>
    <message>
        <source>The path of the sound file is too long: at most %1 characters fit.

%2</source>
        <translation>Der Pfad der Klangdatei ist zu lang: Es passen höchstens %1 Zeichen.

%2</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: %2.</source>
        <translation>Ich kann %1 nicht schreiben: %2.</translation>
    </message>
    <message>
        <source>½ octave</source>
        <translation>½ Oktave</translation>
    </message>
    <message>
        <source>1 octave</source>
        <translation>1 Oktave</translation>
    </message>
    <message>
        <source>sound device lost: sleep timer stopped</source>
        <translation>Audiogerät verloren: Einschlaf-Timer gestoppt</translation>
    </message>
    <message>
        <source>Please enter Off, a choice from the list or a time h:mm between 0:01 and 23:59.</source>
        <translation>Bitte geben Sie Aus, einen Eintrag der Liste oder eine Zeit h:mm zwischen 0:01 und 23:59 ein.</translation>
    </message>
    <message>
        <source>stops in %1:%2:%3</source>
        <translation>Stopp in %1:%2:%3</translation>
    </message>
    <message>
        <source>preferences not saved</source>
        <translation>Einstellungen nicht gespeichert</translation>
    </message>
    <message>
        <source>matching pitch</source>
        <translation>Tonhöhenabgleich</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>15 min</source>
        <translation>15 min</translation>
    </message>
    <message>
        <source>30 min</source>
        <translation>30 min</translation>
    </message>
    <message>
        <source>45 min</source>
        <translation>45 min</translation>
    </message>
    <message>
        <source>1 h</source>
        <translation>1 h</translation>
    </message>
    <message>
        <source>1½ h</source>
        <translation>1½ h</translation>
    </message>
    <message>
        <source>2 h</source>
        <translation>2 h</translation>
    </message>
    <message>
        <source>3 h</source>
        <translation>3 h</translation>
    </message>
    <message>
        <source>4 h</source>
        <translation>4 h</translation>
    </message>
    <message>
        <source>6 h</source>
        <translation>6 h</translation>
    </message>
    <message>
        <source>8 h</source>
        <translation>8 h</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: a stereo WAV file can be at most %2 (%3 s) long, half as long as a mono one</source>
        <translation>Ich kann %1 nicht schreiben: Eine Stereo-WAV-Datei darf höchstens %2 (%3 s) lang sein, halb so lang wie eine Mono-Datei</translation>
    </message>
    <message>
        <source>Silent</source>
        <translation>Stumm</translation>
    </message>
    <message>
        <source> dB</source>
        <translation> dB</translation>
    </message>
    <message>
        <source>Both ears</source>
        <translation>Beidseits</translation>
    </message>
    <message>
        <source>Left ear</source>
        <translation>Links</translation>
    </message>
    <message>
        <source>checking hearing</source>
        <translation>Hörtest läuft</translation>
    </message>
    <message>
        <source>No hearing profile yet: Hearing Check makes one. Until then the noise plays unshaped.</source>
        <translation>Noch kein Hörprofil: Der Hörtest erstellt eines. Bis dahin spielt das Rauschen unverändert.</translation>
    </message>
    <message>
        <source>Shapes the noise to the hearing profile of %1, made on %2.</source>
        <translation>Passt das Rauschen an das Hörprofil vom %1 an, erstellt auf %2.</translation>
    </message>
    <message>
        <source>Right ear</source>
        <translation>Rechts</translation>
    </message>
</context>
<context>
    <name>CPitchMatchDlg</name>
    <message>
        <source>Match the Tinnitus Frequency</source>
        <translation>Tinnitusfrequenz abgleichen</translation>
    </message>
    <message>
        <source>&amp;Volume:</source>
        <translation>&amp;Lautstärke:</translation>
    </message>
    <message>
        <source>Search from (&amp;Hz):</source>
        <translation>Suche &amp;von (Hz):</translation>
    </message>
    <message>
        <source>Search &amp;to (Hz):</source>
        <translation>Suche &amp;bis (Hz):</translation>
    </message>
    <message>
        <source>Tone &amp;%1</source>
        <translation>Ton &amp;%1</translation>
    </message>
    <message>
        <source>Play &amp;again</source>
        <translation>&amp;Erneut abspielen</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Weiter</translation>
    </message>
    <message>
        <source>&amp;Use</source>
        <translation>&amp;Übernehmen</translation>
    </message>
    <message>
        <source>&amp;Save as Setting…</source>
        <translation>Als Einstellung &amp;speichern…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Step 1 of 3: Level</source>
        <translation>Schritt 1 von 3: Lautstärke</translation>
    </message>
    <message>
        <source>A quiet 1000 Hz tone plays. Set the volume so that the tone is clearly heard but not louder than your tinnitus. Keep it low. Then choose Next.</source>
        <translation>Ein leiser Ton von 1000 Hz erklingt. Stellen Sie die Lautstärke so ein, dass der Ton deutlich zu hören, aber nicht lauter als Ihr Tinnitus ist. Bleiben Sie leise. Wählen Sie dann Weiter.</translation>
    </message>
    <message>
        <source>Step 2 of 3: Which tone is closer?</source>
        <translation>Schritt 2 von 3: Welcher Ton liegt näher?</translation>
    </message>
    <message>
        <source>Two tones play one after the other. Choose the one that is closer to the pitch of your tinnitus, or play them again.</source>
        <translation>Zwei Töne erklingen nacheinander. Wählen Sie den, der der Tonhöhe Ihres Tinnitus näher liegt, oder spielen Sie sie erneut ab.</translation>
    </message>
    <message>
        <source>Question %1. Searching %2 Hz to %3 Hz.</source>
        <translation>Frage %1. Gesucht wird zwischen %2 Hz und %3 Hz.</translation>
    </message>
    <message>
        <source>Step 3 of 3: Octave check</source>
        <translation>Schritt 3 von 3: Oktavprüfung</translation>
    </message>
    <message>
        <source>Three tones play: the match, an octave below and an octave above. Choose the one that matches your tinnitus.</source>
        <translation>Drei Töne erklingen: der gefundene Ton, eine Oktave tiefer und eine Oktave höher. Wählen Sie den, der Ihrem Tinnitus entspricht.</translation>
    </message>
    <message>
        <source>Two tones play: the match and the octave beside it. Choose the one that matches your tinnitus.</source>
        <translation>Zwei Töne erklingen: der gefundene Ton und seine Nachbaroktave. Wählen Sie den, der Ihrem Tinnitus entspricht.</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Your tinnitus frequency: %1 Hz. Use sets the Tinnitus Finder to it; Save as Setting keeps it in a noise setting.</source>
        <translation>Ihre Tinnitusfrequenz: %1 Hz. Übernehmen stellt die Tinnitus-Suche darauf ein; Als Einstellung speichern bewahrt sie in einer Rausch-Einstellung auf.</translation>
    </message>
    <message>
        <source>The search must start below where it ends.</source>
        <translation>Die Suche muss unterhalb ihres Endes beginnen.</translation>
    </message>
    <message>
        <source>That answer differs from an earlier one, so the search widens again.</source>
        <translation>Diese Antwort widerspricht einer früheren, daher wird die Suche wieder breiter.</translation>
    </message>
</context>
<context>
    <name>CSpectrumView</name>
    <message>
        <source>100 Hz</source>
        <translation>100 Hz</translation>
    </message>
    <message>
        <source>1 kHz</source>
        <translation>1 kHz</translation>
    </message>
    <message>
        <source>10 kHz</source>
        <translation>10 kHz</translation>
    </message>
    <message>
        <source>silent</source>
        <translation>stumm</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>Spectrum</source>
        <translation>Spektrum</translation>
    </message>
    <message>
        <source>L</source>
        <translation>L</translation>
    </message>
    <message>
        <source>R</source>
        <translation>R</translation>
    </message>
    <message>
        <source>A tone at %1 Hz.</source>
        <translation>Ein Ton bei %1 Hz.</translation>
    </message>
    <message>
        <source>Silence: the lower limit lies above the upper limit.</source>
        <translation>Stille: Die untere Grenze liegt über der oberen.</translation>
    </message>
    <message>
        <source>Noise from %1 Hz to %2 Hz, level across the band.</source>
        <translation>Rauschen von %1 Hz bis %2 Hz, gleich laut über das ganze Band.</translation>
    </message>
    <message>
        <source>Noise from %1 Hz to %2 Hz, falling %3 dB per octave.</source>
        <translation>Rauschen von %1 Hz bis %2 Hz, um %3 dB pro Oktave fallend.</translation>
    </message>
    <message>
        <source>A notch from %1 Hz to %2 Hz is cut out.</source>
        <translation>Eine Kerbe von %1 Hz bis %2 Hz ist ausgespart.</translation>
    </message>
    <message>
        <source>Tinnitus frequency: %1 Hz.</source>
        <translation>Tinnitusfrequenz: %1 Hz.</translation>
    </message>
    <message>
        <source>Left ear: %1. Right ear: %2.</source>
        <translation>Linkes Ohr: %1. Rechtes Ohr: %2.</translation>
    </message>
</context>
<context>
    <name>CStringTable</name>
    <message>
        <source>Exit the program</source>
        <translation>Programm beenden</translation>
    </message>
    <message>
        <source>Choose a file ...</source>
        <translation>Datei wählen …</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Update the settings and play the sound</source>
        <translation>Einstellungen übernehmen und den Klang abspielen</translation>
    </message>
    <message>
        <source>Stop playing the sound</source>
        <translation>Wiedergabe beenden</translation>
    </message>
    <message>
        <source>Save the sound signal to a file of your choice</source>
        <translation>Das Klangsignal in einer Datei Ihrer Wahl speichern</translation>
    </message>
    <message>
        <source>Show information about Susurra and its author</source>
        <translation>Informationen über Susurra und seinen Autor anzeigen</translation>
    </message>
    <message>
        <source>Display the help browser</source>
        <translation>Die Hilfe anzeigen</translation>
    </message>
</context>
<context>
    <name>CUpDownCtrl</name>
    <message>
        <source>Step down</source>
        <translation>Eins weniger</translation>
    </message>
    <message>
        <source>Step up</source>
        <translation>Eins mehr</translation>
    </message>
</context>
<context>
    <name>HearingProfile</name>
    <message>
        <source>The hearing profile %1 is damaged (%2); it was left as it is. Clear it in Hearing Check and take the check again.</source>
        <translation>Das Hörprofil %1 ist beschädigt (%2); es wurde nicht verändert. Löschen Sie es im Hörtest, und machen Sie den Test erneut.</translation>
    </message>
</context>
<context>
    <name>IoResult</name>
    <message>
        <source>I can&apos;t open %1</source>
        <translation>Ich kann %1 nicht öffnen</translation>
    </message>
    <message>
        <source>I can&apos;t write %1</source>
        <translation>Ich kann %1 nicht schreiben</translation>
    </message>
    <message>
        <source>I can&apos;t read %1</source>
        <translation>Ich kann %1 nicht lesen</translation>
    </message>
    <message>
        <source>I can&apos;t read %1: it is not a regular file</source>
        <translation>Ich kann %1 nicht lesen: Das ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>I can&apos;t create the folder %1</source>
        <translation>Ich kann den Ordner %1 nicht anlegen</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: it is a symbolic link to a file that does not exist</source>
        <translation>Ich kann %1 nicht schreiben: Das ist ein symbolischer Link auf eine Datei, die es nicht gibt</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: %2 files can only be written into regular files, not into pipes or devices</source>
        <translation>Ich kann %1 nicht schreiben: %2-Dateien lassen sich nur in gewöhnliche Dateien schreiben, nicht in Pipes oder Geräte</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: a sound file can be at most 13:31:35 (48695 s) long</source>
        <translation>Ich kann %1 nicht schreiben: Eine Klangdatei darf höchstens 13:31:35 (48695 s) lang sein</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: a sound file can be at most 23:59:59 long</source>
        <translation>Ich kann %1 nicht schreiben: Eine Klangdatei darf höchstens 23:59:59 lang sein</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: %2</source>
        <translation>Ich kann %1 nicht schreiben: %2</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: this system&apos;s libsndfile cannot write %2 files</source>
        <translation>Ich kann %1 nicht schreiben: Die libsndfile dieses Systems kann keine %2-Dateien schreiben</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: it needs about %2 MB, and only %3 MB are free there</source>
        <translation>Ich kann %1 nicht schreiben: Die Datei braucht etwa %2 MB, dort sind aber nur %3 MB frei</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: %2 is missing</source>
        <translation>Ich kann %1 nicht schreiben: %2 fehlt</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: a stereo WAV file can be at most 06:45:47 (24347 s) long</source>
        <translation>Ich kann %1 nicht schreiben: Eine Stereo-WAV-Datei darf höchstens 06:45:47 (24347 s) lang sein</translation>
    </message>
</context>
</TS>
