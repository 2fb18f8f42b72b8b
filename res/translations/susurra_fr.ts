<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>CCoreText</name>
    <message>
        <source>nothing to do</source>
        <translation>rien à faire</translation>
    </message>
    <message>
        <source>generating noise signal</source>
        <translation>création du signal de bruit</translation>
    </message>
    <message>
        <source>playing</source>
        <translation>lecture en cours</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Avertissement</translation>
    </message>
    <message>
        <source>No audio mixer device found</source>
        <translation>Aucun périphérique audio trouvé</translation>
    </message>
    <message>
        <source>I can&apos;t open the sound device</source>
        <translation>Je ne peux pas ouvrir le périphérique audio</translation>
    </message>
    <message>
        <source>the name must end in .wav, .flac, .opus or .mp3 (the suffix chooses the file type)</source>
        <translation>le nom doit se terminer par .wav, .flac, .opus ou .mp3 (l&apos;extension détermine le type de fichier)</translation>
    </message>
    <message>
        <source>a sound file can be at most 13:31:35 (48695 s) long</source>
        <translation>un fichier son dure au plus 13:31:35 (48695 s)</translation>
    </message>
    <message>
        <source>a sound file can be at most 23:59:59 long</source>
        <translation>un fichier son dure au plus 23:59:59</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>ce n&apos;est pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>the file ends inside its 12-byte header</source>
        <translation>le fichier s&apos;arrête dans son en-tête de 12 octets</translation>
    </message>
    <message>
        <source>a text without its terminating zero byte was cut</source>
        <translation>un texte sans octet nul final a été tronqué</translation>
    </message>
    <message>
        <source>a record without a name was skipped</source>
        <translation>un enregistrement sans nom a été ignoré</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: %2</source>
        <translation>Je ne peux pas écrire %1&#x202f;: %2</translation>
    </message>
    <message>
        <source>I can&apos;t write %1</source>
        <translation>Je ne peux pas écrire %1</translation>
    </message>
    <message>
        <source>I can&apos;t open %1: %2</source>
        <translation>Je ne peux pas ouvrir %1&#x202f;: %2</translation>
    </message>
    <message>
        <source>I can&apos;t open %1</source>
        <translation>Je ne peux pas ouvrir %1</translation>
    </message>
    <message>
        <source>I can&apos;t read %1: %2</source>
        <translation>Je ne peux pas lire %1&#x202f;: %2</translation>
    </message>
    <message>
        <source>I can&apos;t read %1</source>
        <translation>Je ne peux pas lire %1</translation>
    </message>
    <message>
        <source>I can&apos;t create the folder %1: %2</source>
        <translation>Je ne peux pas créer le dossier %1&#x202f;: %2</translation>
    </message>
    <message>
        <source>I can&apos;t create the folder %1</source>
        <translation>Je ne peux pas créer le dossier %1</translation>
    </message>
</context>
<context>
    <name>CDataExchange</name>
    <message>
        <source>Please enter a number.</source>
        <translation>Veuillez saisir un nombre.</translation>
    </message>
    <message>
        <source>Please enter an integer.</source>
        <translation>Veuillez saisir un nombre entier.</translation>
    </message>
    <message>
        <source>Please enter a number between %1 and %2.</source>
        <translation>Veuillez saisir un nombre entre %1 et %2.</translation>
    </message>
    <message>
        <source>Please enter no more than %1 characters.</source>
        <translation>Veuillez saisir au plus %1 caractères.</translation>
    </message>
</context>
<context>
    <name>CDialogTemplate</name>
    <message>
        <source>About Susurra</source>
        <translation>À propos de Susurra</translation>
    </message>
    <message>
        <source>This is Susurra version 1.1</source>
        <translation>Ceci est Susurra, version 1.1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Susurra - Denoise by Noise</source>
        <translation>Susurra - Le bruit contre le bruit</translation>
    </message>
    <message>
        <source>Actions</source>
        <translation>Commandes</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>&amp;Lecture</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>&amp;Arrêt</translation>
    </message>
    <message>
        <source>To &amp;File</source>
        <translation>Vers &amp;fichier</translation>
    </message>
    <message>
        <source>T&amp;ools</source>
        <translation>&amp;Outils</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Aid&amp;e</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Audio Settings</source>
        <translation>Réglages audio</translation>
    </message>
    <message>
        <source>Sound Devi&amp;ce</source>
        <translation>Sortie audio</translation>
    </message>
    <message>
        <source>&amp;Volume</source>
        <translation>&amp;Volume</translation>
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
        <translation>Minuterie</translation>
    </message>
    <message>
        <source>Stop after:</source>
        <translation>Durée&#x202f;:</translation>
    </message>
    <message>
        <source>Fade out over (min):</source>
        <translation>Fondu final (min)&#x202f;:</translation>
    </message>
    <message>
        <source>Then quit Susurra</source>
        <translation>Puis quitter Susurra</translation>
    </message>
    <message>
        <source>Noise Settings</source>
        <translation>Réglages du bruit</translation>
    </message>
    <message>
        <source>&amp;Select Setting:</source>
        <translation>&amp;Choix&#x202f;:</translation>
    </message>
    <message>
        <source>Save Setting</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Noise Type</source>
        <translation>Type de bruit</translation>
    </message>
    <message>
        <source>Ph&amp;ysiological Noise</source>
        <translation>Bruit &amp;physiologique</translation>
    </message>
    <message>
        <source>&amp;White Noise</source>
        <translation>Bruit &amp;blanc</translation>
    </message>
    <message>
        <source>Pin&amp;k Noise</source>
        <translation>Bruit &amp;rose</translation>
    </message>
    <message>
        <source>Tinnitus F&amp;inder</source>
        <translation>Acoup&amp;hène</translation>
    </message>
    <message>
        <source>Fre&amp;quency (Hz):</source>
        <translation>Fréq&amp;uence (Hz)&#x202f;:</translation>
    </message>
    <message>
        <source>&amp;Match…</source>
        <translation>Test…</translation>
    </message>
    <message>
        <source>Frequency (Hz)</source>
        <translation>Fréquence (Hz)</translation>
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
        <translation>Plage de fréquences</translation>
    </message>
    <message>
        <source>&amp;Lower Limit (Hz):</source>
        <translation>M&amp;inimum (Hz)&#x202f;:</translation>
    </message>
    <message>
        <source>&amp;Upper Limit (Hz):</source>
        <translation>Ma&amp;ximum (Hz)&#x202f;:</translation>
    </message>
    <message>
        <source>Surf Effect</source>
        <translation>Effet de houle</translation>
    </message>
    <message>
        <source>Stren&amp;gth (%):</source>
        <translation>I&amp;ntensité (%)&#x202f;:</translation>
    </message>
    <message>
        <source>Pe&amp;riod (s):</source>
        <translation>Pério&amp;de (s)&#x202f;:</translation>
    </message>
    <message>
        <source>Signal Generator Status:</source>
        <translation>Générateur&#x202f;:</translation>
    </message>
    <message>
        <source>Program Status:</source>
        <translation>Programme&#x202f;:</translation>
    </message>
    <message>
        <source>Static</source>
        <translation>Prêt</translation>
    </message>
    <message>
        <source>&amp;Endless (never repeats)</source>
        <translation>&amp;Sans fin (jamais répété)</translation>
    </message>
    <message>
        <source>&amp;Notch at tinnitus frequency</source>
        <translation>Fil&amp;tre coupe-bande</translation>
    </message>
    <message>
        <source>Wi&amp;dth:</source>
        <translation>Bande&#x202f;:</translation>
    </message>
    <message>
        <source>File Settings</source>
        <translation>Réglages du fichier</translation>
    </message>
    <message>
        <source>Select Setting:</source>
        <translation>Choix&#x202f;:</translation>
    </message>
    <message>
        <source>Fading</source>
        <translation>Fondus</translation>
    </message>
    <message>
        <source>Fade-in (s):</source>
        <translation>Début (s)&#x202f;:</translation>
    </message>
    <message>
        <source>Fade-out (s):</source>
        <translation>Fin (s)&#x202f;:</translation>
    </message>
    <message>
        <source>Total Playing Time</source>
        <translation>Durée totale</translation>
    </message>
    <message>
        <source>hh:mm:ss</source>
        <translation>hh:mm:ss</translation>
    </message>
    <message>
        <source>File N&amp;ame:</source>
        <translation>Fichier&#x202f;:</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Parcourir</translation>
    </message>
    <message>
        <source>Saving Status:</source>
        <translation>Écriture&#x202f;:</translation>
    </message>
    <message>
        <source>Gentle Sound</source>
        <translation>Son en douceur</translation>
    </message>
    <message>
        <source>Fade in at Play (s):</source>
        <translation>Montée (s)&#x202f;:</translation>
    </message>
    <message>
        <source>Glide &amp;between sounds</source>
        <translation>Transition douce</translation>
    </message>
    <message>
        <source>Manage Settings</source>
        <translation>Gérer les réglages</translation>
    </message>
    <message>
        <source>&amp;Enter new settings name:</source>
        <translation>&amp;Nouveau nom&#x202f;:</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Enregistrer</translation>
    </message>
    <message>
        <source>&amp;Choose existing settings name:</source>
        <translation>&amp;Choisir un réglage existant&#x202f;:</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Supprimer</translation>
    </message>
    <message>
        <source>&amp;Finished</source>
        <translation>&amp;Terminé</translation>
    </message>
    <message>
        <source>Brown Noise</source>
        <translation>Bruit brun</translation>
    </message>
    <message>
        <source>Keep the computer awake while playing</source>
        <translation>Pas de mise en veille pendant la lecture</translation>
    </message>
    <message>
        <source>Spectrum</source>
        <translation>Spectre</translation>
    </message>
    <message>
        <source>Stereo (&amp;2 ears)</source>
        <translation>St&amp;éréo</translation>
    </message>
    <message>
        <source>Left:</source>
        <translation>Gauche&#x202f;:</translation>
    </message>
    <message>
        <source>Left ear</source>
        <translation>Oreille gauche</translation>
    </message>
    <message>
        <source>Right:</source>
        <translation>Droite&#x202f;:</translation>
    </message>
    <message>
        <source>Right ear</source>
        <translation>Oreille droite</translation>
    </message>
    <message>
        <source>Shape to my hearing</source>
        <translation>Adapter à mon ouïe</translation>
    </message>
    <message>
        <source>Hearing Check…</source>
        <translation>Test auditif…</translation>
    </message>
    <message>
        <source>Tone in:</source>
        <translation>Son&#x202f;:</translation>
    </message>
</context>
<context>
    <name>CDigitsEdit</name>
    <message>
        <source>Only digits can be typed here.</source>
        <translation>Seuls des chiffres peuvent être saisis ici.</translation>
    </message>
</context>
<context>
    <name>CDlgSaveSet</name>
    <message>
        <source>Please enter a name for the new setting.</source>
        <translation>Veuillez saisir un nom pour le nouveau réglage.</translation>
    </message>
    <message>
        <source>I have no room for another noise setting. Please delete one you no longer need.</source>
        <translation>Il n&apos;y a plus de place pour un réglage de bruit. Veuillez en supprimer un dont vous n&apos;avez plus besoin.</translation>
    </message>
    <message>
        <source>I have no room for another file setting. Please delete one you no longer need.</source>
        <translation>Il n&apos;y a plus de place pour un réglage de fichier. Veuillez en supprimer un dont vous n&apos;avez plus besoin.</translation>
    </message>
</context>
<context>
    <name>CHearingChart</name>
    <message>
        <source>Hearing profile chart</source>
        <translation>Graphique du profil auditif</translation>
    </message>
    <message>
        <source>No thresholds.</source>
        <translation>Aucun seuil.</translation>
    </message>
    <message>
        <source>%1 Hz: %2 dBFS</source>
        <translation>%1 Hz : %2 dBFS</translation>
    </message>
    <message>
        <source>%1 Hz: not heard</source>
        <translation>%1 Hz : non entendu</translation>
    </message>
    <message>
        <source>Left ear</source>
        <translation>Oreille gauche</translation>
    </message>
    <message>
        <source>Right ear</source>
        <translation>Oreille droite</translation>
    </message>
    <message>
        <source>Both ears</source>
        <translation>Les deux oreilles</translation>
    </message>
    <message>
        <source>%1: %2.</source>
        <translation>%1 : %2.</translation>
    </message>
</context>
<context>
    <name>CHearingCheckDlg</name>
    <message>
        <source>Hearing Check</source>
        <translation>Test auditif</translation>
    </message>
    <message>
        <source>Not a medical device and not a clinical audiogram. The levels are relative to this sound device, with no absolute calibration. Set the system volume low before you start, and stop at once if a tone hurts or your tinnitus grows louder.</source>
        <translation>Ni un dispositif médical ni un audiogramme clinique. Les niveaux sont relatifs à ce périphérique audio, sans étalonnage absolu. Baissez le volume du système avant de commencer, et arrêtez aussitôt si un son fait mal ou si votre acouphène augmente.</translation>
    </message>
    <message>
        <source>Ear</source>
        <translation>Oreille</translation>
    </message>
    <message>
        <source>&amp;Left</source>
        <translation>&amp;Gauche</translation>
    </message>
    <message>
        <source>&amp;Right</source>
        <translation>&amp;Droite</translation>
    </message>
    <message>
        <source>&amp;Both ears or loudspeakers</source>
        <translation>Les deu&amp;x oreilles ou haut-parleurs</translation>
    </message>
    <message>
        <source>Include &amp;12000 Hz</source>
        <translation>Inclure &amp;12000 Hz</translation>
    </message>
    <message>
        <source>&amp;Start the Check</source>
        <translation>&amp;Commencer le test</translation>
    </message>
    <message>
        <source>Did you hear the tone?</source>
        <translation>Avez-vous entendu le son ?</translation>
    </message>
    <message>
        <source>&amp;Heard</source>
        <translation>&amp;Entendu</translation>
    </message>
    <message>
        <source>&amp;Not heard</source>
        <translation>&amp;Pas entendu</translation>
    </message>
    <message>
        <source>Play &amp;again</source>
        <translation>Rejouer le &amp;son</translation>
    </message>
    <message>
        <source>Each tone is three short pulses. Answer Heard only when you are sure.</source>
        <translation>Chaque son est fait de trois impulsions brèves. Ne répondez Entendu que si vous en êtes sûr.</translation>
    </message>
    <message>
        <source>S&amp;top the Check</source>
        <translation>Arrê&amp;ter le test</translation>
    </message>
    <message>
        <source>Clear the saved hearing profile? This cannot be undone.</source>
        <translation>Effacer le profil auditif enregistré ? Impossible d’annuler.</translation>
    </message>
    <message>
        <source>&amp;Yes, clear it</source>
        <translation>&amp;Oui, l’effacer</translation>
    </message>
    <message>
        <source>&amp;Keep it</source>
        <translation>Co&amp;nserver</translation>
    </message>
    <message>
        <source>Clear Pro&amp;file…</source>
        <translation>Effacer le pro&amp;fil…</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>Fer&amp;mer</translation>
    </message>
    <message>
        <source>No hearing profile is saved yet.</source>
        <translation>Aucun profil auditif enregistré pour l’instant.</translation>
    </message>
    <message>
        <source>Saved profile: %1, on %2.</source>
        <translation>Profil enregistré : %1, sur %2.</translation>
    </message>
    <message>
        <source>Re&amp;do the Check</source>
        <translation>&amp;Refaire le test</translation>
    </message>
    <message>
        <source>Checking: %1.</source>
        <translation>Test : %1.</translation>
    </message>
    <message>
        <source>left ear</source>
        <translation>oreille gauche</translation>
    </message>
    <message>
        <source>right ear</source>
        <translation>oreille droite</translation>
    </message>
    <message>
        <source>both ears</source>
        <translation>les deux oreilles</translation>
    </message>
    <message>
        <source>No sound device plays the tones: choose one in the main window. Nothing was saved.</source>
        <translation>Aucun périphérique audio ne joue les sons : choisissez-en un dans la fenêtre principale. Rien n’a été enregistré.</translation>
    </message>
    <message>
        <source>%1 Hz, %2</source>
        <translation>%1 Hz, %2</translation>
    </message>
    <message>
        <source>Frequency %1 of %2, tone %3 at this frequency.</source>
        <translation>Fréquence %1 sur %2, son %3 à cette fréquence.</translation>
    </message>
    <message>
        <source>The check was stopped; nothing was saved.</source>
        <translation>Le test a été arrêté ; rien n’a été enregistré.</translation>
    </message>
    <message>
        <source>The profile was not saved: %1</source>
        <translation>Le profil n’a pas été enregistré : %1</translation>
    </message>
    <message>
        <source>Saved: %1, on %2.</source>
        <translation>Enregistré : %1, sur %2.</translation>
    </message>
</context>
<context>
    <name>CHelpCommand</name>
    <message>
        <source>I can&apos;t open %1</source>
        <translation>Je ne peux pas ouvrir %1</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Avertissement</translation>
    </message>
</context>
<context>
    <name>CMainDlg</name>
    <message>
        <source>Microsoft wave format (*.wav)</source>
        <translation>Format Microsoft Wave (*.wav)</translation>
    </message>
    <message>
        <source>FLAC, lossless (*.flac)</source>
        <translation>FLAC, sans perte (*.flac)</translation>
    </message>
    <message>
        <source>Ogg Opus (*.opus)</source>
        <translation>Fichier Ogg Opus (*.opus)</translation>
    </message>
    <message>
        <source>MP3 (*.mp3)</source>
        <translation>Fichier MP3 (*.mp3)</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>&amp;Lecture</translation>
    </message>
    <message>
        <source>writing sound file</source>
        <translation>écriture du fichier son</translation>
    </message>
    <message>
        <source>The path of the sound file is too long: at most %1 characters fit.

%2</source>
        <translation>Le chemin du fichier son est trop long&#x202f;: il peut compter au plus %1 caractères.

%2</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: %2.</source>
        <translation>Je ne peux pas écrire %1&#x202f;: %2.</translation>
    </message>
    <message>
        <source>½ octave</source>
        <translation>½ octave</translation>
    </message>
    <message>
        <source>1 octave</source>
        <translation>1 octave</translation>
    </message>
    <message>
        <source>sound device lost: sleep timer stopped</source>
        <translation>périphérique audio perdu&#x202f;: minuterie arrêtée</translation>
    </message>
    <message>
        <source>Please enter Off, a choice from the list or a time h:mm between 0:01 and 23:59.</source>
        <translation>Veuillez saisir Arrêt, un choix de la liste ou une durée h:mm entre 0:01 et 23:59.</translation>
    </message>
    <message>
        <source>stops in %1:%2:%3</source>
        <translation>arrêt dans %1:%2:%3</translation>
    </message>
    <message>
        <source>preferences not saved</source>
        <translation>préférences non enregistrées</translation>
    </message>
    <message>
        <source>matching pitch</source>
        <translation>mesure de la fréquence</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Arrêt</translation>
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
        <translation>1 h 30</translation>
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
        <translation>Je ne peux pas écrire %1 : un fichier WAV stéréo dure au plus %2 (%3 s), moitié moins qu’un fichier mono</translation>
    </message>
    <message>
        <source>Silent</source>
        <translation>Silence</translation>
    </message>
    <message>
        <source> dB</source>
        <translation>&#xa0;dB</translation>
    </message>
    <message>
        <source>Both ears</source>
        <translation>Les deux</translation>
    </message>
    <message>
        <source>Left ear</source>
        <translation>Gauche</translation>
    </message>
    <message>
        <source>checking hearing</source>
        <translation>test auditif en cours</translation>
    </message>
    <message>
        <source>No hearing profile yet: Hearing Check makes one. Until then the noise plays unshaped.</source>
        <translation>Pas encore de profil auditif : le Test auditif en crée un. D’ici là, le bruit est joué sans adaptation.</translation>
    </message>
    <message>
        <source>Shapes the noise to the hearing profile of %1, made on %2.</source>
        <translation>Adapte le bruit au profil auditif du %1, établi sur %2.</translation>
    </message>
    <message>
        <source>Right ear</source>
        <translation>Droite</translation>
    </message>
</context>
<context>
    <name>CPitchMatchDlg</name>
    <message>
        <source>Match the Tinnitus Frequency</source>
        <translation>Mesurer la fréquence de l&apos;acouphène</translation>
    </message>
    <message>
        <source>&amp;Volume:</source>
        <translation>&amp;Volume&#x202f;:</translation>
    </message>
    <message>
        <source>Search from (&amp;Hz):</source>
        <translation>Chercher &amp;de (Hz)&#x202f;:</translation>
    </message>
    <message>
        <source>Search &amp;to (Hz):</source>
        <translation>Chercher &amp;jusqu&apos;à (Hz)&#x202f;:</translation>
    </message>
    <message>
        <source>Tone &amp;%1</source>
        <translation>Son &amp;%1</translation>
    </message>
    <message>
        <source>Play &amp;again</source>
        <translation>&amp;Rejouer</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Suivant</translation>
    </message>
    <message>
        <source>&amp;Use</source>
        <translation>&amp;Utiliser</translation>
    </message>
    <message>
        <source>&amp;Save as Setting…</source>
        <translation>Enre&amp;gistrer comme réglage…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Step 1 of 3: Level</source>
        <translation>Étape 1 sur 3&#x202f;: niveau</translation>
    </message>
    <message>
        <source>A quiet 1000 Hz tone plays. Set the volume so that the tone is clearly heard but not louder than your tinnitus. Keep it low. Then choose Next.</source>
        <translation>Un son faible de 1000 Hz est joué. Réglez le volume pour l&apos;entendre clairement, sans qu&apos;il dépasse votre acouphène. Restez bas. Choisissez ensuite Suivant.</translation>
    </message>
    <message>
        <source>Step 2 of 3: Which tone is closer?</source>
        <translation>Étape 2 sur 3&#x202f;: quel son est le plus proche&#x202f;?</translation>
    </message>
    <message>
        <source>Two tones play one after the other. Choose the one that is closer to the pitch of your tinnitus, or play them again.</source>
        <translation>Deux sons sont joués l&apos;un après l&apos;autre. Choisissez celui dont la hauteur est la plus proche de votre acouphène, ou rejouez-les.</translation>
    </message>
    <message>
        <source>Question %1. Searching %2 Hz to %3 Hz.</source>
        <translation>Question %1. Recherche entre %2 Hz et %3 Hz.</translation>
    </message>
    <message>
        <source>Step 3 of 3: Octave check</source>
        <translation>Étape 3 sur 3&#x202f;: contrôle d&apos;octave</translation>
    </message>
    <message>
        <source>Three tones play: the match, an octave below and an octave above. Choose the one that matches your tinnitus.</source>
        <translation>Trois sons sont joués&#x202f;: le son trouvé, une octave en dessous et une octave au-dessus. Choisissez celui qui correspond à votre acouphène.</translation>
    </message>
    <message>
        <source>Two tones play: the match and the octave beside it. Choose the one that matches your tinnitus.</source>
        <translation>Deux sons sont joués&#x202f;: le son trouvé et son octave voisine. Choisissez celui qui correspond à votre acouphène.</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Résultat</translation>
    </message>
    <message>
        <source>Your tinnitus frequency: %1 Hz. Use sets the Tinnitus Finder to it; Save as Setting keeps it in a noise setting.</source>
        <translation>Fréquence de votre acouphène&#x202f;: %1 Hz. Utiliser y règle le bruit Acouphène ; Enregistrer comme réglage la garde dans un réglage de bruit.</translation>
    </message>
    <message>
        <source>The search must start below where it ends.</source>
        <translation>La recherche doit commencer en dessous de sa fin.</translation>
    </message>
    <message>
        <source>That answer differs from an earlier one, so the search widens again.</source>
        <translation>Cette réponse contredit une réponse précédente&#x202f;: la recherche s&apos;élargit de nouveau.</translation>
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
        <translation>muet</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>Spectrum</source>
        <translation>Spectre</translation>
    </message>
    <message>
        <source>L</source>
        <translation>G</translation>
    </message>
    <message>
        <source>R</source>
        <translation>D</translation>
    </message>
    <message>
        <source>A tone at %1 Hz.</source>
        <translation>Un son pur à %1 Hz.</translation>
    </message>
    <message>
        <source>Silence: the lower limit lies above the upper limit.</source>
        <translation>Silence : la limite basse dépasse la limite haute.</translation>
    </message>
    <message>
        <source>Noise from %1 Hz to %2 Hz, level across the band.</source>
        <translation>Bruit de %1 Hz à %2 Hz, de niveau égal sur toute la bande.</translation>
    </message>
    <message>
        <source>Noise from %1 Hz to %2 Hz, falling %3 dB per octave.</source>
        <translation>Bruit de %1 Hz à %2 Hz, qui baisse de %3 dB par octave.</translation>
    </message>
    <message>
        <source>A notch from %1 Hz to %2 Hz is cut out.</source>
        <translation>Une encoche de %1 Hz à %2 Hz est retirée.</translation>
    </message>
    <message>
        <source>Tinnitus frequency: %1 Hz.</source>
        <translation>Fréquence de l&apos;acouphène : %1 Hz.</translation>
    </message>
    <message>
        <source>Left ear: %1. Right ear: %2.</source>
        <translation>Oreille gauche : %1. Oreille droite : %2.</translation>
    </message>
</context>
<context>
    <name>CStringTable</name>
    <message>
        <source>Exit the program</source>
        <translation>Quitter le programme</translation>
    </message>
    <message>
        <source>Choose a file ...</source>
        <translation>Choisir un fichier…</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>Update the settings and play the sound</source>
        <translation>Appliquer les réglages et jouer le son</translation>
    </message>
    <message>
        <source>Stop playing the sound</source>
        <translation>Arrêter le son</translation>
    </message>
    <message>
        <source>Save the sound signal to a file of your choice</source>
        <translation>Enregistrer le signal sonore dans le fichier de votre choix</translation>
    </message>
    <message>
        <source>Show information about Susurra and its author</source>
        <translation>Afficher des informations sur Susurra et son auteur</translation>
    </message>
    <message>
        <source>Display the help browser</source>
        <translation>Afficher l&apos;aide</translation>
    </message>
</context>
<context>
    <name>CUpDownCtrl</name>
    <message>
        <source>Step down</source>
        <translation>Un de moins</translation>
    </message>
    <message>
        <source>Step up</source>
        <translation>Un de plus</translation>
    </message>
</context>
<context>
    <name>HearingProfile</name>
    <message>
        <source>The hearing profile %1 is damaged (%2); it was left as it is. Clear it in Hearing Check and take the check again.</source>
        <translation>Le profil auditif %1 est endommagé (%2) ; il a été laissé tel quel. Effacez-le dans Test auditif et refaites le test.</translation>
    </message>
</context>
<context>
    <name>IoResult</name>
    <message>
        <source>I can&apos;t open %1</source>
        <translation>Je ne peux pas ouvrir %1</translation>
    </message>
    <message>
        <source>I can&apos;t write %1</source>
        <translation>Je ne peux pas écrire %1</translation>
    </message>
    <message>
        <source>I can&apos;t read %1</source>
        <translation>Je ne peux pas lire %1</translation>
    </message>
    <message>
        <source>I can&apos;t read %1: it is not a regular file</source>
        <translation>Je ne peux pas lire %1 : ce n&apos;est pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>I can&apos;t create the folder %1</source>
        <translation>Je ne peux pas créer le dossier %1</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: it is a symbolic link to a file that does not exist</source>
        <translation>Je ne peux pas écrire %1 : c&apos;est un lien symbolique vers un fichier qui n&apos;existe pas</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: %2 files can only be written into regular files, not into pipes or devices</source>
        <translation>Je ne peux pas écrire %1 : les fichiers %2 ne s&apos;écrivent que dans des fichiers ordinaires, pas dans des tubes ni des périphériques</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: a sound file can be at most 13:31:35 (48695 s) long</source>
        <translation>Je ne peux pas écrire %1 : un fichier son dure au plus 13:31:35 (48695 s)</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: a sound file can be at most 23:59:59 long</source>
        <translation>Je ne peux pas écrire %1 : un fichier son dure au plus 23:59:59</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: %2</source>
        <translation>Je ne peux pas écrire %1 : %2</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: this system&apos;s libsndfile cannot write %2 files</source>
        <translation>Je ne peux pas écrire %1 : la libsndfile de ce système ne sait pas écrire de fichiers %2</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: it needs about %2 MB, and only %3 MB are free there</source>
        <translation>Je ne peux pas écrire %1 : il faut environ %2 Mo, et seuls %3 Mo y sont libres</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: %2 is missing</source>
        <translation>Je ne peux pas écrire %1 : %2 est introuvable</translation>
    </message>
    <message>
        <source>I can&apos;t write %1: a stereo WAV file can be at most 06:45:47 (24347 s) long</source>
        <translation>Je ne peux pas écrire %1 : un fichier WAV stéréo dure au plus 06:45:47 (24347 s)</translation>
    </message>
</context>
</TS>
