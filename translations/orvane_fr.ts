<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Builder</name>
    <message>
        <source>Sounds</source>
        <translation>Sons</translation>
    </message>
    <message>
        <source>Effects</source>
        <translation>Effets</translation>
    </message>
    <message>
        <source>stop sound</source>
        <translation>arrêt du son</translation>
    </message>
    <message>
        <source>manual transition</source>
        <translation>transition manuelle</translation>
    </message>
    <message>
        <source>timed transition</source>
        <translation>transition temporisée</translation>
    </message>
    <message>
        <source>end-of-sound transition</source>
        <translation>transition en fin de son</translation>
    </message>
    <message>
        <source>no sound level</source>
        <translation>sans niveau sonore</translation>
    </message>
    <message>
        <source>sound level</source>
        <translation>niveau sonore</translation>
    </message>
    <message>
        <source>rude light fade</source>
        <translation>transition dure lumière</translation>
    </message>
    <message>
        <source>soft light fade</source>
        <translation>transition douce lumière</translation>
    </message>
    <message>
        <source>toggle pause</source>
        <translation>inversion de la pause</translation>
    </message>
    <message>
        <source>icon</source>
        <translation>icône</translation>
    </message>
    <message>
        <source>caption of step %1</source>
        <translation>nom du pas %1</translation>
    </message>
    <message>
        <source>%1 on step %2</source>
        <translation>%1 sur le pas %2</translation>
    </message>
    <message>
        <source>sound %1 on step %2</source>
        <translation>son %1 sur le pas %2</translation>
    </message>
    <message>
        <source>effect %1 from step %2</source>
        <translation>effet %1 depuis le pas %2</translation>
    </message>
    <message>
        <source>Easy show builder</source>
        <translation>Éditeur de spectacle</translation>
    </message>
    <message>
        <source>Insert a step after this step</source>
        <translation>Insérer un pas après ce pas</translation>
    </message>
    <message>
        <source>Delete this step</source>
        <translation>Supprimer ce pas</translation>
    </message>
    <message>
        <source>Duplicate this step</source>
        <translation>Dupliquer ce pas</translation>
    </message>
    <message>
        <source>Copy only the light</source>
        <translation>Ne copie que la lumière</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Actualiser</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Stops a sound</source>
        <translation>Stoppe un son</translation>
    </message>
    <message>
        <source>Manual transition</source>
        <translation>Transition manuelle</translation>
    </message>
    <message>
        <source>Timed transition. Duration (s):</source>
        <translation>Transition temporisée. Durée (s):</translation>
    </message>
    <message>
        <source>Transition at the end of the sound</source>
        <translation>Transition en fin de son</translation>
    </message>
    <message>
        <source>Cancels the sound level setting</source>
        <translation>Annule la définition du niveau sonore</translation>
    </message>
    <message>
        <source>Sets the sound level like this:</source>
        <translation>Définit le niveau sonore comme ceci :</translation>
    </message>
    <message>
        <source>Hard light transition</source>
        <translation>Transition dure lumière</translation>
    </message>
    <message>
        <source>Soft light transition</source>
        <translation>Transition douce lumière</translation>
    </message>
    <message>
        <source>Toggles pause</source>
        <translation>Inverse Pause</translation>
    </message>
</context>
<context>
    <name>Command line</name>
    <message>
        <source>option '%1' needs a value</source>
        <translation>l'option '%1' demande une valeur</translation>
    </message>
    <message>
        <source>unknown option '%1'</source>
        <translation>option inconnue '%1'</translation>
    </message>
    <message>
        <source>'--check' takes one show name; unexpected '%1'</source>
        <translation>'--check' prend un seul nom de spectacle ; '%1' est en trop</translation>
    </message>
    <message>
        <source>Usage: orvane [OPTION]... [STEP=n] [SHOW=name]
A light-show controller: cross-fades one DMX512 universe from step to step.

  STEP=n           start on step n (0-499)
  SHOW=name        start on this show without the chooser; DMX output
                   starts 5 s later (the name runs to the end of the line)
      --root DIR   the folder of the shows (instead of ORVANE_ROOT)
      --port DEVICE
                   the serial device of the USB-DMX interface
                   (instead of ORVANE_DMX_PORT)
      --check SHOW check a show before it goes on stage and exit:
                   one line per problem; status 0 clean, 1 problems,
                   2 no such show; needs no display
  -h, --help       show this help and exit
      --version    show the version and exit

Qt's own options (-platform, -style, ...) are passed to Qt.
See orvane(1) for the show folders, the settings and the environment.
</source>
        <translation>Usage : orvane [OPTION]... [STEP=n] [SHOW=nom]
Un pupitre de lumière : transition d'un univers DMX512 de pas en pas.

  STEP=n           démarrer au pas n (0-499)
  SHOW=nom         démarrer sur ce spectacle sans le sélecteur ; la sortie
                   DMX démarre 5 s plus tard (le nom va jusqu'à la fin de la ligne)
      --root DOSSIER
                   le dossier des spectacles (au lieu de ORVANE_ROOT)
      --port PÉRIPHÉRIQUE
                   le périphérique série de l'interface DMX USB
                   (au lieu de ORVANE_DMX_PORT)
      --check SPECTACLE
                   vérifier un spectacle avant qu'il passe en scène, puis quitter :
                   une ligne par problème ; code 0 sans problème, 1 problèmes,
                   2 spectacle inexistant ; sans besoin d'affichage
  -h, --help       afficher cette aide et quitter
      --version    afficher la version et quitter

Les options propres à Qt (-platform, -style, ...) sont transmises à Qt.
Voir orvane(1) pour les dossiers des spectacles, les réglages et l'environnement.
</translation>
    </message>
    <message>
        <source>Try 'orvane --help' for more information.</source>
        <translation>Essayez 'orvane --help' pour plus d'informations.</translation>
    </message>
</context>
<context>
    <name>Console</name>
    <message>
        <source>Faders</source>
        <translation>Faders</translation>
    </message>
    <message>
        <source>Room light</source>
        <translation>Lumière salle</translation>
    </message>
    <message>
        <source>Fade</source>
        <translation>Fondu</translation>
    </message>
    <message>
        <source>Current colour</source>
        <translation>Coul. actuelle</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>Pas</translation>
    </message>
    <message>
        <source>Step number (+ and - for navigating)</source>
        <translation>Numéro du pas (+ et - pour naviguer)</translation>
    </message>
    <message>
        <source>Step name</source>
        <translation>Nom du pas</translation>
    </message>
    <message>
        <source>To 100%</source>
        <translation>à 100%</translation>
    </message>
    <message>
        <source>To 0%</source>
        <translation>à 0%</translation>
    </message>
    <message>
        <source>Fade in
ALT+SPA</source>
        <translation>Transition
ALT+ESP</translation>
    </message>
    <message>
        <source>Fade time (s)</source>
        <translation>Durée (s)</translation>
    </message>
    <message>
        <source>auto fade</source>
        <translation>tr. auto</translation>
    </message>
    <message>
        <source>rude fade</source>
        <translation>tr. dure</translation>
    </message>
    <message>
        <source>after fade goto :</source>
        <translation>puis au pas :</translation>
    </message>
    <message>
        <source>Hot key</source>
        <translation>Touche</translation>
    </message>
    <message>
        <source>Validate HK</source>
        <translation>Valider touche</translation>
    </message>
    <message>
        <source>Insert a step</source>
        <translation>Insérer un pas</translation>
    </message>
    <message>
        <source>Delete this step</source>
        <translation>Supprimer ce pas</translation>
    </message>
    <message>
        <source>Duplicate this step</source>
        <translation>Dupliquer ce pas</translation>
    </message>
    <message>
        <source>Extra</source>
        <translation>Extra</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Son</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Recharger</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Lecture</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Play and record DMX</source>
        <translation>Lire et enregistrer le DMX</translation>
    </message>
    <message>
        <source>Play and replay DMX</source>
        <translation>Lire et rejouer le DMX</translation>
    </message>
    <message>
        <source>Step vol</source>
        <translation>Vol. pas</translation>
    </message>
    <message>
        <source>Vol Master</source>
        <translation>Vol master</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Niveau</translation>
    </message>
    <message>
        <source>locked</source>
        <translation>figé</translation>
    </message>
    <message>
        <source>stepsound</source>
        <translation>son du pas</translation>
    </message>
    <message>
        <source>When activate this step play this sound:</source>
        <translation>Quand ce pas s'active, jouer ce son :</translation>
    </message>
    <message>
        <source>When sound end, goto next step</source>
        <translation>À la fin du son, aller au pas suivant</translation>
    </message>
    <message>
        <source>When activate this step toggle pause mode</source>
        <translation>Quand ce pas s'active, inverser la pause</translation>
    </message>
    <message>
        <source>Effects</source>
        <translation>Effets</translation>
    </message>
    <message>
        <source>Save effect</source>
        <translation>Enreg. effet</translation>
    </message>
    <message>
        <source>Load effect</source>
        <translation>Charger effet</translation>
    </message>
    <message>
        <source>Load only light</source>
        <translation>Charger lumière</translation>
    </message>
    <message>
        <source>Predefined light effect (none if void)</source>
        <translation>Effet lumière prédéfini (aucun si vide)</translation>
    </message>
    <message>
        <source>refresh</source>
        <translation>actualiser</translation>
    </message>
    <message>
        <source>reload</source>
        <translation>recharger</translation>
    </message>
    <message>
        <source>DMX monitor</source>
        <translation>Moniteur DMX</translation>
    </message>
    <message>
        <source>First channel</source>
        <translation>Premier canal</translation>
    </message>
    <message>
        <source>Room plan</source>
        <translation>Plan de salle</translation>
    </message>
    <message>
        <source>Select:</source>
        <translation>Choix :</translation>
    </message>
    <message>
        <source>All rgb room</source>
        <translation>RGB salle</translation>
    </message>
    <message>
        <source>All rgb back</source>
        <translation>RGB fond</translation>
    </message>
    <message>
        <source>All fans</source>
        <translation>Ventilos</translation>
    </message>
    <message>
        <source>Show:</source>
        <translation>Voir :</translation>
    </message>
    <message>
        <source>Lights</source>
        <translation>Lumières</translation>
    </message>
    <message>
        <source>Fans</source>
        <translation>Ventilos</translation>
    </message>
    <message>
        <source>Smokes</source>
        <translation>Fumées</translation>
    </message>
    <message>
        <source>Fogs/perfumes</source>
        <translation>Brumes/parf.</translation>
    </message>
    <message>
        <source>Shutters</source>
        <translation>Obturateurs</translation>
    </message>
    <message>
        <source>Intensity</source>
        <translation>Intensité</translation>
    </message>
    <message>
        <source>Strobe / Fogfan</source>
        <translation>Strobe / vent.</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Vitesse</translation>
    </message>
    <message>
        <source>0-50 regular
51-100 Jump change
101-150 Gradual change
151-200 Pulse change
201-250 Auto mode
251-255 Sound mode</source>
        <translation>0-50 normal
51-100 chgt par saut
101-150 chgt progressif
151-200 chgt pulsé
201-250 mode auto
251-255 mode son</translation>
    </message>
    <message>
        <source>Switches</source>
        <translation>Interrupteurs</translation>
    </message>
    <message>
        <source>Manu Shutter #1</source>
        <translation>Obtur. manu #1</translation>
    </message>
    <message>
        <source>Shutter #1</source>
        <translation>Obturateur #1</translation>
    </message>
    <message>
        <source>Manu Shutter #2</source>
        <translation>Obtur. manu #2</translation>
    </message>
    <message>
        <source>Shutter #2</source>
        <translation>Obturateur #2</translation>
    </message>
    <message>
        <source>All dmx to 0</source>
        <translation>Tout DMX à 0</translation>
    </message>
    <message>
        <source>Use IP devices</source>
        <translation>Appareils IP</translation>
    </message>
    <message>
        <source>Disable anti crazy moving heads</source>
        <translation>Désactiver l'anti-lyres folles</translation>
    </message>
    <message>
        <source>Disable anti moving heads false black</source>
        <translation>Désactiver l'anti-faux noir des lyres</translation>
    </message>
    <message>
        <source>Disable smokes</source>
        <translation>Désactiver les fumées</translation>
    </message>
    <message>
        <source>Disable perfumes</source>
        <translation>Désactiver les parfums</translation>
    </message>
    <message>
        <source>Disable fans</source>
        <translation>Désactiver les ventilos</translation>
    </message>
    <message>
        <source>Windows</source>
        <translation>Fenêtres</translation>
    </message>
    <message>
        <source>Show Time !</source>
        <translation>Spectacle !</translation>
    </message>
    <message>
        <source>Show Timeline</source>
        <translation>Ligne de temps</translation>
    </message>
    <message>
        <source>Global Color</source>
        <translation>Couleur globale</translation>
    </message>
    <message>
        <source>Easy Show Builder</source>
        <translation>Éditeur de spectacle</translation>
    </message>
    <message>
        <source>Manual Mode and predefined</source>
        <translation>Mode manuel et prédéfinis</translation>
    </message>
    <message>
        <source>Reset USB &lt;-&gt; DMX</source>
        <translation>Réinit. USB &lt;-&gt; DMX</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Stage</source>
        <translation>Scène</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Journal</translation>
    </message>
    <message>
        <source>Next step</source>
        <translation>Pas suivant</translation>
    </message>
    <message>
        <source>Step number, 0-499: the step on the console. Keypad + and - step forward and back</source>
        <translation>Numéro du pas, 0-499 : le pas sur la console. Les touches + et - du pavé numérique avancent et reculent d'un pas</translation>
    </message>
    <message>
        <source>Next or previous step</source>
        <translation>Pas suivant ou précédent</translation>
    </message>
    <message>
        <source>Hot key of this step: pressed anywhere in orvane, it makes this step current. It takes effect once the step was left and "Validate HK" pressed</source>
        <translation>Touche de ce pas : pressée n'importe où dans orvane, elle rend ce pas courant. Elle prend effet une fois le pas quitté et "Valider touche" pressé</translation>
    </message>
    <message>
        <source>Registers the hot keys of every step again</source>
        <translation>Réenregistre les touches de tous les pas</translation>
    </message>
    <message>
        <source>Shutter 1 follows "Shutter #1" instead of the step (channel 413)</source>
        <translation>L'obturateur 1 suit "Obturateur #1" au lieu du pas (canal 413)</translation>
    </message>
    <message>
        <source>With "Manu Shutter #1": shutter 1 open when checked, closed when not</source>
        <translation>Avec "Obtur. manu #1" : obturateur 1 ouvert si coché, fermé sinon</translation>
    </message>
    <message>
        <source>Shutter 2 follows "Shutter #2" instead of the step (channel 414)</source>
        <translation>L'obturateur 2 suit "Obturateur #2" au lieu du pas (canal 414)</translation>
    </message>
    <message>
        <source>With "Manu Shutter #2": shutter 2 open when checked, closed when not</source>
        <translation>Avec "Obtur. manu #2" : obturateur 2 ouvert si coché, fermé sinon</translation>
    </message>
    <message>
        <source>Puts its channel full while checked; kept with the step</source>
        <translation>Met son canal à fond tant qu'il est coché ; gardé avec le pas</translation>
    </message>
    <message>
        <source>Puts channel 423 full</source>
        <translation>Met le canal 423 à fond</translation>
    </message>
    <message>
        <source>Turns off the protection against erratic moving-head moves</source>
        <translation>Désactive la protection contre les mouvements erratiques des lyres</translation>
    </message>
    <message>
        <source>Turns off the protection against moving heads going black by mistake</source>
        <translation>Désactive la protection contre les lyres qui passent au noir par erreur</translation>
    </message>
    <message>
        <source>Sends 0 on every smoke channel</source>
        <translation>Envoie 0 sur chaque canal de fumée</translation>
    </message>
    <message>
        <source>Sends 0 on every perfume channel</source>
        <translation>Envoie 0 sur chaque canal de parfum</translation>
    </message>
    <message>
        <source>Sends 0 on every fan channel</source>
        <translation>Envoie 0 sur chaque canal de ventilateur</translation>
    </message>
    <message>
        <source>Sends 0 on every DMX channel</source>
        <translation>Envoie 0 sur chaque canal DMX</translation>
    </message>
    <message>
        <source>Connects to the IP link host and sends it the current colour</source>
        <translation>Se connecte à l'hôte du lien IP et lui envoie la couleur actuelle</translation>
    </message>
    <message>
        <source>Lets the joystick's fire buttons start the fade</source>
        <translation>Laisse les boutons de tir du joystick lancer la transition</translation>
    </message>
    <message>
        <source>Opens the show time window for playing the show; clears auto fade disable</source>
        <translation>Ouvre la fenêtre de jeu du spectacle ; lève la désactivation de la transition auto</translation>
    </message>
    <message>
        <source>Shows or hides the timeline of the steps</source>
        <translation>Affiche ou masque la ligne de temps des pas</translation>
    </message>
    <message>
        <source>Shows or hides the global colour window</source>
        <translation>Affiche ou masque la fenêtre de couleur globale</translation>
    </message>
    <message>
        <source>Opens the easy show builder</source>
        <translation>Ouvre l'éditeur de spectacle</translation>
    </message>
    <message>
        <source>Opens manual mode and its predefined entries</source>
        <translation>Ouvre le mode manuel et ses prédéfinis</translation>
    </message>
    <message>
        <source>Closes the DMX interface and opens it again</source>
        <translation>Ferme l'interface DMX et la rouvre</translation>
    </message>
    <message>
        <source>Show control from other tools: OSC (settings oscport, oscbind) and the web remote</source>
        <translation>Pilotage du spectacle par d'autres outils : OSC (réglages oscport, oscbind) et la télécommande web</translation>
    </message>
    <message>
        <source>Stores the console into the current step and writes the show file</source>
        <translation>Enregistre la console dans le pas courant et écrit le fichier de spectacle</translation>
    </message>
    <message>
        <source>Saves the show and ends orvane</source>
        <translation>Enregistre le spectacle et quitte orvane</translation>
    </message>
    <message>
        <source>The extra commands a step can run</source>
        <translation>Les commandes extra qu'un pas peut exécuter</translation>
    </message>
    <message>
        <source>The first channel the DMX monitor shows</source>
        <translation>Le premier canal affiché par le moniteur DMX</translation>
    </message>
</context>
<context>
    <name>DMX interface</name>
    <message>
        <source>not opened yet</source>
        <translation>pas encore ouverte</translation>
    </message>
    <message>
        <source>open</source>
        <translation>ouverte</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>introuvable</translation>
    </message>
    <message>
        <source>no permission (add yourself to dialout)</source>
        <translation>pas d'autorisation (ajoutez-vous au groupe dialout)</translation>
    </message>
    <message>
        <source>unplugged</source>
        <translation>débranchée</translation>
    </message>
    <message>
        <source>not used (output=ola)</source>
        <translation>non utilisée (output=ola)</translation>
    </message>
    <message>
        <source>cannot be opened: %1</source>
        <translation>ouverture impossible : %1</translation>
    </message>
    <message>
        <source>cannot be opened</source>
        <translation>ouverture impossible</translation>
    </message>
    <message>
        <source>%1: %2
since %3</source>
        <translation>%1 : %2
depuis %3</translation>
    </message>
</context>
<context>
    <name>DMX output</name>
    <message>
        <source>Cannot open the DMX interface %1: %2</source>
        <translation>Impossible d'ouvrir l'interface DMX %1 : %2</translation>
    </message>
    <message>
        <source>Cannot open the DMX interface %1</source>
        <translation>Impossible d'ouvrir l'interface DMX %1</translation>
    </message>
    <message>
        <source>The setting output asks for OLA, but this orvane was built without OLA's library (libola-dev): nothing is sent to OLA</source>
        <translation>Le réglage output demande OLA, mais cet orvane a été construit sans la bibliothèque d'OLA (libola-dev) : rien n'est envoyé à OLA</translation>
    </message>
    <message>
        <source>The setting output asks for OLA, but OLA's support could not be loaded (%1): nothing is sent to OLA</source>
        <translation>Le réglage output demande OLA, mais la prise en charge d'OLA n'a pas pu être chargée (%1) : rien n'est envoyé à OLA</translation>
    </message>
    <message>
        <source>OLA output could not start its sender thread</source>
        <translation>La sortie OLA n'a pas pu lancer son thread d'envoi</translation>
    </message>
</context>
<context>
    <name>Effects</name>
    <message>
        <source>load effect %1 at step %2</source>
        <translation>chargement de l'effet %1 au pas %2</translation>
    </message>
    <message>
        <source>effect "%1" read from %2</source>
        <translation>effet "%1" lu dans %2</translation>
    </message>
    <message>
        <source>effect %1 at step %2</source>
        <translation>effet %1 au pas %2</translation>
    </message>
    <message>
        <source>Effect file (*.EFE)</source>
        <translation>Fichier d'effet (*.EFE)</translation>
    </message>
    <message>
        <source>Save an effect</source>
        <translation>Sauvegarder un effet</translation>
    </message>
    <message>
        <source>Load an effect</source>
        <translation>Charger un effet</translation>
    </message>
    <message>
        <source>Number of steps</source>
        <translation>Nombre de pas</translation>
    </message>
    <message>
        <source>Enter a positive whole number.</source>
        <translation>Entrez un entier positif.</translation>
    </message>
    <message>
        <source>Enter a whole number from 0 to 500.</source>
        <translation>Entrez un entier entre 0 et 500.</translation>
    </message>
    <message>
        <source>Cannot save the effect.</source>
        <translation>Impossible d'enregistrer l'effet.</translation>
    </message>
</context>
<context>
    <name>Extra commands</name>
    <message>
        <source>%1 taken as %2</source>
        <translation>%1 pris comme %2</translation>
    </message>
    <message>
        <source>longer than 20 characters</source>
        <translation>plus de 20 caractères</translation>
    </message>
    <message>
        <source>"Use IP devices" is off</source>
        <translation>"Appareils IP" est décoché</translation>
    </message>
</context>
<context>
    <name>Extra help</name>
    <message>
        <source>SUPERSCAN1COLOR=OFF|ON turn on or off superscaner 1 color mode</source>
        <translation>SUPERSCAN1COLOR=OFF|ON active ou désactive le mode couleur du superscanner 1</translation>
    </message>
    <message>
        <source>SUPERSCAN1=cmd send a command to superscaner1</source>
        <translation>SUPERSCAN1=cmd envoie une commande au superscanner 1</translation>
    </message>
    <message>
        <source>LOAD={option1,}{option2,}&lt;efe file&gt; load and play efe file (path from orvane directory), option1 may be FADE otherwise always rudefade, option2 may be DWM don't write master fade</source>
        <translation>LOAD={option1,}{option2,}&lt;fichier efe&gt; charge et joue le fichier efe (chemin depuis le dossier orvane), option1 peut être FADE sinon toujours en cut, option2 peut être DWM n'écrit pas la transition du master</translation>
    </message>
    <message>
        <source>LOADLOOP={option1,}{option2,}&lt;efe file&gt; load and play loop efe file (path from orvane directory), option1 may be FADE otherwise always rudefade, option2 may be DWM don't write master fade</source>
        <translation>LOADLOOP={option1,}{option2,}&lt;fichier efe&gt; charge et joue en boucle le fichier efe (chemin depuis le dossier orvane), option1 peut être FADE sinon toujours en cut, option2 peut être DWM n'écrit pas la transition du master</translation>
    </message>
    <message>
        <source>SMOKE=OFF|ON turn on or off smoke machine</source>
        <translation>SMOKE=OFF|ON allume ou éteint la machine à fumée</translation>
    </message>
    <message>
        <source>SCREENUP=OFF|ON turn on or off screen up motor</source>
        <translation>SCREENUP=OFF|ON allume ou éteint le moteur de montée de l'écran</translation>
    </message>
    <message>
        <source>SCREENDOWN=OFF|ON turn on or off screen down motor</source>
        <translation>SCREENDOWN=OFF|ON allume ou éteint le moteur de descente de l'écran</translation>
    </message>
    <message>
        <source>BSLIGHT=OFF|ON turn on or off back stage light</source>
        <translation>BSLIGHT=OFF|ON allume ou éteint la lumière des coulisses</translation>
    </message>
    <message>
        <source>MISCn=OFF|ON turn on or off misc 1 to 4</source>
        <translation>MISCn=OFF|ON allume ou éteint misc 1 à 4</translation>
    </message>
    <message>
        <source>SHUTTER=OFF|ON turn on or off video projector shutter</source>
        <translation>SHUTTER=OFF|ON active ou désactive l'obturateur du vidéoprojecteur</translation>
    </message>
    <message>
        <source>SOUNDACTIVE=slider number1{,slider number2{,...}} active slider regarding playng sound level</source>
        <translation>SOUNDACTIVE=numéro de fader1{,numéro de fader2{,...}} fait suivre à ces faders le niveau du son joué</translation>
    </message>
    <message>
        <source>CHAIN=show name,step number</source>
        <translation>CHAIN=nom du spectacle,numéro du pas</translation>
    </message>
    <message>
        <source>REPLAYDMX=&lt;bin file&gt; play recorded raw dmx file (path from orvane directory)</source>
        <translation>REPLAYDMX=&lt;fichier bin&gt; rejoue un fichier DMX brut enregistré (chemin depuis le dossier orvane)</translation>
    </message>
    <message>
        <source>RANDOM=slider number1{,slider number2{,...}},min=min,max=max apply random values from min to max to selected sliders</source>
        <translation>RANDOM=numéro de fader1{,numéro de fader2{,...}},min=min,max=max applique aux faders choisis des valeurs aléatoires de min à max</translation>
    </message>
    <message>
        <source>MATRIX=&lt;bitmap file (path from orvane directory)&gt;,&lt;movex&gt;,&lt;movey&gt;</source>
        <translation>MATRIX=&lt;fichier bitmap (chemin depuis le dossier orvane)&gt;,&lt;movex&gt;,&lt;movey&gt;</translation>
    </message>
    <message>
        <source>VP=&lt;ovvideoplayer cmd that can be play:&lt;begining of the filename&gt; or| stop:&lt;begining of the filename&gt;&gt;</source>
        <translation>VP=&lt;commande ovvideoplayer qui peut être play:&lt;début du nom de fichier&gt; ou| stop:&lt;début du nom de fichier&gt;&gt;</translation>
    </message>
    <message>
        <source>EXEC=&lt;command line to execute&gt;</source>
        <translation>EXEC=&lt;ligne de commande à exécuter&gt;</translation>
    </message>
    <message>
        <source>Extra help</source>
        <translation>Aide Extra</translation>
    </message>
</context>
<context>
    <name>Fade</name>
    <message>
        <source>fading to the end of the show</source>
        <translation>transition vers la fin du spectacle</translation>
    </message>
    <message>
        <source>fading to %1</source>
        <translation>transition vers %1</translation>
    </message>
    <message>
        <source>fading to %1 %2</source>
        <translation>transition vers %1 %2</translation>
    </message>
</context>
<context>
    <name>Fixture windows</name>
    <message>
        <source>Scanner %1</source>
        <translation>Scanner %1</translation>
    </message>
    <message>
        <source>Moving head %1</source>
        <translation>Lyre %1</translation>
    </message>
</context>
<context>
    <name>Fixtures</name>
    <message>
        <source>Ch. 3</source>
        <translation>Can. 3</translation>
    </message>
    <message>
        <source>Ch. 4</source>
        <translation>Can. 4</translation>
    </message>
    <message>
        <source>Ch. 5</source>
        <translation>Can. 5</translation>
    </message>
    <message>
        <source>Ch. 6</source>
        <translation>Can. 6</translation>
    </message>
    <message>
        <source>Spot size</source>
        <translation>Taille spot</translation>
    </message>
    <message>
        <source>Raw datas</source>
        <translation>Données brutes</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Vitesse</translation>
    </message>
    <message>
        <source>Misc</source>
        <translation>Divers</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Couleur</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Jaune</translation>
    </message>
    <message>
        <source>Color speed</source>
        <translation>Vit. couleur</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>Effet</translation>
    </message>
    <message>
        <source>Shutter/strobe</source>
        <translation>Obtur./strobe</translation>
    </message>
    <message>
        <source>Dimmer</source>
        <translation>Gradateur</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Tous</translation>
    </message>
    <message>
        <source>Screen zone</source>
        <translation>Zone écran</translation>
    </message>
    <message>
        <source>Copy this</source>
        <translation>Copier ceci</translation>
    </message>
    <message>
        <source>Copy all</source>
        <translation>Copier tout</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Coller</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Blanc</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rouge</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Vert</translation>
    </message>
    <message>
        <source>Pink</source>
        <translation>Rose</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Bleu</translation>
    </message>
    <message>
        <source>Orange</source>
        <translation>Orange</translation>
    </message>
    <message>
        <source>Purple</source>
        <translation>Violet</translation>
    </message>
    <message>
        <source>Dark blue</source>
        <translation>Bleu fon</translation>
    </message>
    <message>
        <source>Royal blue</source>
        <translation>Bleu roi</translation>
    </message>
    <message>
        <source>Pale blue</source>
        <translation>Bleu pal</translation>
    </message>
    <message>
        <source>Mauve</source>
        <translation>Mauve</translation>
    </message>
    <message>
        <source>Scarlet</source>
        <translation>Ecarlate</translation>
    </message>
    <message>
        <source>Sky blue</source>
        <translation>Bleu ciel</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Perso</translation>
    </message>
    <message>
        <source>Brill Blue</source>
        <translation>Bleu brill.</translation>
    </message>
    <message>
        <source>Magen</source>
        <translation>Magen</translation>
    </message>
    <message>
        <source>Canary</source>
        <translation>Canari</translation>
    </message>
    <message>
        <source>Ital Blue</source>
        <translation>Bleu ital.</translation>
    </message>
    <message>
        <source>Turquoi</source>
        <translation>Turquoi</translation>
    </message>
    <message>
        <source>Jade</source>
        <translation>Jade</translation>
    </message>
    <message>
        <source>Shutter</source>
        <translation>Obturateur</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Mouvement</translation>
    </message>
</context>
<context>
    <name>Frame timing</name>
    <message>
        <source>DMX goes out at the usual %1 frames/s</source>
        <translation>DMX envoyé à la cadence habituelle de %1 trames/s</translation>
    </message>
    <message>
        <source>Setting breakus=%1 is not a break of %2 to %3 µs: a %4 µs break is used</source>
        <translation>Le réglage breakus=%1 n'est pas un break de %2 à %3 µs : un break de %4 µs est utilisé</translation>
    </message>
    <message>
        <source>Setting framerate=%1 is not a number of frames per second from %2 to %3: %4</source>
        <translation>Le réglage framerate=%1 n'est pas un nombre de trames par seconde de %2 à %3 : %4</translation>
    </message>
    <message>
        <source>Setting framerate=%1 is more than the DMX line carries: at most %2 frames/s with a %3 µs break. %4</source>
        <translation>Le réglage framerate=%1 dépasse ce que la ligne DMX transporte : au plus %2 trames/s avec un break de %3 µs. %4</translation>
    </message>
</context>
<context>
    <name>Global colour</name>
    <message>
        <source>Global Color</source>
        <translation>Couleur globale</translation>
    </message>
</context>
<context>
    <name>GlobalColour</name>
    <message>
        <source>Level</source>
        <translation>Niveau</translation>
    </message>
    <message>
        <source>Instant</source>
        <translation>Immédiat</translation>
    </message>
</context>
<context>
    <name>IP link</name>
    <message>
        <source>Cannot connect to %1</source>
        <translation>Impossible de se connecter à %1</translation>
    </message>
</context>
<context>
    <name>IpDevices</name>
    <message>
        <source>ovi: %1 log lines left out</source>
        <translation>ovi : %1 lignes du journal omises</translation>
    </message>
    <message>
        <source>ipdevbind [%1] is not an IPv4 address</source>
        <translation>ipdevbind [%1] n'est pas une adresse IPv4</translation>
    </message>
    <message>
        <source>ovi: cannot accept a connection: %1</source>
        <translation>ovi : impossible d'accepter une connexion : %1</translation>
    </message>
    <message>
        <source>ovi[%1] connected</source>
        <translation>ovi[%1] connecté</translation>
    </message>
    <message>
        <source>ovi: %1 connection(s) refused, all %2 places taken (last from %3)</source>
        <translation>ovi : %1 connexion(s) refusée(s), les %2 places sont prises (dernière de %3)</translation>
    </message>
    <message>
        <source>ovi[%1] sends more than %2 bytes a second, reading it slower</source>
        <translation>ovi[%1] envoie plus de %2 octets par seconde, lecture ralentie</translation>
    </message>
    <message>
        <source>ovi[%1] bytes received</source>
        <translation>ovi[%1] octets reçus</translation>
    </message>
    <message>
        <source>ovi[%1] says[%2]</source>
        <translation>ovi[%1] dit[%2]</translation>
    </message>
    <message>
        <source>ovi[%1] said the same %2 more time(s)</source>
        <translation>ovi[%1] a répété la même chose %2 fois de plus</translation>
    </message>
    <message>
        <source>ovi[%1] disconnected</source>
        <translation>ovi[%1] déconnecté</translation>
    </message>
    <message>
        <source>ovi[%1] sleeping, [%2] not sent to it or the devices after it</source>
        <translation>ovi[%1] en veille, [%2] non envoyé à lui ni aux appareils suivants</translation>
    </message>
    <message>
        <source>ovi[%1] still receiving earlier files, [%2] not sent</source>
        <translation>ovi[%1] reçoit encore des fichiers précédents, [%2] non envoyé</translation>
    </message>
    <message>
        <source>ovi[%1] sending %2 bytes</source>
        <translation>ovi[%1] envoi de %2 octets</translation>
    </message>
    <message>
        <source>ovi: no device connected, [%1] not sent</source>
        <translation>ovi : aucun appareil connecté, [%1] non envoyé</translation>
    </message>
    <message>
        <source>ovi: no device %1 connected, [%2] not sent</source>
        <translation>ovi : appareil %1 non connecté, [%2] non envoyé</translation>
    </message>
    <message>
        <source>ovi send error, can't open [%1]</source>
        <translation>ovi erreur d'envoi, impossible d'ouvrir [%1]</translation>
    </message>
    <message>
        <source>ovi: [%1] taken as [%2]</source>
        <translation>ovi : [%1] pris pour [%2]</translation>
    </message>
    <message>
        <source>ovi send error, alloc error reading [%1]</source>
        <translation>ovi erreur d'envoi, mémoire insuffisante pour lire [%1]</translation>
    </message>
    <message>
        <source>ovi send error, can't read [%1]</source>
        <translation>ovi erreur d'envoi, impossible de lire [%1]</translation>
    </message>
    <message>
        <source>ovi[%1] does not read what it is sent</source>
        <translation>ovi[%1] ne lit pas ce qui lui est envoyé</translation>
    </message>
    <message>
        <source>ovi[%1] sent %2 bytes</source>
        <translation>ovi[%1] %2 octets envoyés</translation>
    </message>
    <message>
        <source>ovi: %1 more connection(s) refused, all %2 places taken</source>
        <translation>ovi : %1 connexion(s) de plus refusée(s), les %2 places sont prises</translation>
    </message>
    <message>
        <source>ip ovi server started on port %1</source>
        <translation>serveur ip ovi démarré sur le port %1</translation>
    </message>
    <message>
        <source>not 20 characters</source>
        <translation>pas 20 caractères</translation>
    </message>
    <message>
        <source>ip ovi server not running, [%1] not sent</source>
        <translation>serveur ip ovi arrêté, [%1] non envoyé</translation>
    </message>
    <message>
        <source>ip ovi server cannot listen on port %1: %2</source>
        <translation>le serveur ip ovi ne peut pas écouter sur le port %1 : %2</translation>
    </message>
    <message>
        <source>[%1] not sent: %2</source>
        <translation>[%1] non envoyé : %2</translation>
    </message>
</context>
<context>
    <name>IpLink</name>
    <message>
        <source>no connection within 500 ms</source>
        <translation>pas de connexion en 500 ms</translation>
    </message>
    <message>
        <source>ip link cannot connect to %1 port %2: %3</source>
        <translation>liaison ip : impossible de se connecter à %1 port %2 : %3</translation>
    </message>
    <message>
        <source>ip link connected to %1 port %2, no answer yet</source>
        <translation>liaison ip connectée à %1 port %2, pas encore de réponse</translation>
    </message>
    <message>
        <source>ip link connected to %1 port %2</source>
        <translation>liaison ip connectée à %1 port %2</translation>
    </message>
    <message>
        <source>ip link to %1 closed</source>
        <translation>liaison ip vers %1 fermée</translation>
    </message>
    <message>
        <source>ip link to %1 lost: the host ended the connection or does not answer</source>
        <translation>liaison ip vers %1 perdue : l'hôte a fermé la connexion ou ne répond pas</translation>
    </message>
</context>
<context>
    <name>Main window</name>
    <message>
        <source>Channel %1: %2</source>
        <translation>Canal %1 : %2</translation>
    </message>
    <message>
        <source>No channel</source>
        <translation>Aucun canal</translation>
    </message>
    <message>
        <source>No DMX output for now: %1 %2; the interface is tried again every 2 seconds</source>
        <translation>Pas de sortie DMX pour l'instant : %1 %2 ; l'interface est réessayée toutes les 2 secondes</translation>
    </message>
    <message>
        <source>Cannot start the IP device server: IP devices cannot connect (the log says why)</source>
        <translation>Impossible de démarrer le serveur des appareils IP : les appareils IP ne peuvent pas se connecter (le journal dit pourquoi)</translation>
    </message>
    <message>
        <source>Head %1</source>
        <translation>Lyre %1</translation>
    </message>
    <message>
        <source>Moving head %1</source>
        <translation>Lyre %1</translation>
    </message>
    <message>
        <source>%1 - DMX on %2</source>
        <translation>%1 - DMX sur %2</translation>
    </message>
</context>
<context>
    <name>Manual mode</name>
    <message>
        <source>Manual mode</source>
        <translation>Mode manuel</translation>
    </message>
</context>
<context>
    <name>ManualMode</name>
    <message>
        <source>First step holding the settings</source>
        <translation>Premier pas contenant les réglages</translation>
    </message>
</context>
<context>
    <name>OLA</name>
    <message>
        <source>olad at %1</source>
        <translation>olad sur %1</translation>
    </message>
    <message>
        <source>%1: not found</source>
        <translation>%1 : introuvable</translation>
    </message>
    <message>
        <source>%1: cannot be loaded</source>
        <translation>%1 : chargement impossible</translation>
    </message>
    <message>
        <source>%1: no %2</source>
        <translation>%1 : pas de %2</translation>
    </message>
</context>
<context>
    <name>Osc</name>
    <message>
        <source>not an OSC message (liblo error %1)</source>
        <translation>pas un message OSC (erreur liblo %1)</translation>
    </message>
    <message>
        <source>an address that does not begin with /</source>
        <translation>une adresse qui ne commence pas par /</translation>
    </message>
    <message>
        <source>more than %1 messages</source>
        <translation>plus de %1 messages</translation>
    </message>
    <message>
        <source>bundles nested too deep</source>
        <translation>bundles imbriqués trop profondément</translation>
    </message>
    <message>
        <source>a bundle shorter than its header</source>
        <translation>un bundle plus court que son en-tête</translation>
    </message>
    <message>
        <source>a bundle element without its size</source>
        <translation>un élément de bundle sans sa taille</translation>
    </message>
    <message>
        <source>a bundle element of %1 bytes</source>
        <translation>un élément de bundle de %1 octets</translation>
    </message>
    <message>
        <source>takes no argument (or 1 to press)</source>
        <translation>ne prend pas d'argument (ou 1 pour appuyer)</translation>
    </message>
    <message>
        <source>takes a float 0-1 or an int 0-255</source>
        <translation>prend un float 0-1 ou un int 0-255</translation>
    </message>
    <message>
        <source>takes a float 0-1</source>
        <translation>prend un float 0-1</translation>
    </message>
    <message>
        <source>the float must be 0-1</source>
        <translation>le float doit être entre 0 et 1</translation>
    </message>
    <message>
        <source>the int must be 0-255</source>
        <translation>l'int doit être entre 0 et 255</translation>
    </message>
    <message>
        <source>takes an int step 0-499</source>
        <translation>prend un int, le pas 0-499</translation>
    </message>
    <message>
        <source>%1: step %2 is not in 0-%3</source>
        <translation>%1 : le pas %2 n'est pas entre 0 et %3</translation>
    </message>
    <message>
        <source>takes an int 0 or 1</source>
        <translation>prend un int 0 ou 1</translation>
    </message>
    <message>
        <source>the int must be 0 or 1</source>
        <translation>l'int doit être 0 ou 1</translation>
    </message>
    <message>
        <source>%1 bytes, not a multiple of 4</source>
        <translation>%1 octets, pas un multiple de 4</translation>
    </message>
    <message>
        <source>"%1" is not an IPv4 address</source>
        <translation>"%1" n'est pas une adresse IPv4</translation>
    </message>
    <message>
        <source>the subscription of %1 lapsed</source>
        <translation>l'abonnement de %1 a expiré</translation>
    </message>
    <message>
        <source>malformed packet from %1 dropped: %2</source>
        <translation>paquet mal formé de %1 rejeté : %2</translation>
    </message>
    <message>
        <source>%1 from %2 dropped: commands come faster than the console takes them</source>
        <translation>%1 de %2 rejeté : les commandes arrivent plus vite que la console ne les traite</translation>
    </message>
    <message>
        <source>%1 subscribed</source>
        <translation>%1 abonné</translation>
    </message>
    <message>
        <source>%1 not subscribed: %2 subscribers already</source>
        <translation>%1 non abonné : déjà %2 abonnés</translation>
    </message>
    <message>
        <source>unknown address %1 from %2 dropped</source>
        <translation>adresse inconnue %1 de %2 rejetée</translation>
    </message>
    <message>
        <source>%1 (,%2) from %3 dropped: %4</source>
        <translation>%1 (,%2) de %3 rejeté : %4</translation>
    </message>
    <message>
        <source>oscport "%1" is not a port number 1-65535</source>
        <translation>oscport "%1" n'est pas un numéro de port 1-65535</translation>
    </message>
    <message>
        <source>oscbind "%1" is not an IPv4 address</source>
        <translation>oscbind "%1" n'est pas une adresse IPv4</translation>
    </message>
</context>
<context>
    <name>Output choice</name>
    <message>
        <source>Setting output=%1 is not serial, ola or serial+ola: DMX goes to the serial line only</source>
        <translation>Le réglage output=%1 n'est ni serial, ni ola, ni serial+ola : le DMX ne va qu'à la ligne série</translation>
    </message>
    <message>
        <source>Setting olauniverse=%1 is not a universe number (0 to 4294967295): OLA universe 1 is used</source>
        <translation>Le réglage olauniverse=%1 n'est pas un numéro d'univers (0 à 4294967295) : l'univers OLA 1 est utilisé</translation>
    </message>
    <message>
        <source>OLA universe %1</source>
        <translation>univers OLA %1</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 et %2</translation>
    </message>
</context>
<context>
    <name>Output monitor</name>
    <message numerus="yes">
        <source>%n write error</source>
        <translation><numerusform>%n erreur d'écriture</numerusform><numerusform>%n erreurs d'écriture</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%n write errors</source>
        <translation><numerusform>%n erreur d'écriture</numerusform><numerusform>%n erreurs d'écriture</numerusform></translation>
    </message>
    <message>
        <source>Serial: not open</source>
        <translation>Série : non ouverte</translation>
    </message>
    <message>
        <source>Serial: %1</source>
        <translation>Série : %1</translation>
    </message>
    <message>
        <source>off</source>
        <translation>arrêté</translation>
    </message>
    <message>
        <source>connecting to %1</source>
        <translation>connexion à %1</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <source>not reachable (%1), retrying</source>
        <translation>injoignable (%1), nouvel essai</translation>
    </message>
    <message>
        <source>OLA universe %1: %2</source>
        <translation>Univers OLA %1 : %2</translation>
    </message>
    <message>
        <source>%1 (%2); retrying every %3 s</source>
        <translation>%1 (%2) ; nouvel essai toutes les %3 s</translation>
    </message>
    <message>
        <source>%1; retrying every %2 s</source>
        <translation>%1 ; nouvel essai toutes les %2 s</translation>
    </message>
    <message>
        <source>%1, universe %2</source>
        <translation>%1, univers %2</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>%1 frames/s, worst %2 ms, %3</source>
        <translation>%1 trames/s, pire %2 ms, %3</translation>
    </message>
    <message>
        <source>OLA not reachable</source>
        <translation>OLA injoignable</translation>
    </message>
    <message>
        <source>OLA reachable again</source>
        <translation>OLA de nouveau joignable</translation>
    </message>
</context>
<context>
    <name>Output priority</name>
    <message>
        <source>DMX output thread at real-time priority (SCHED_FIFO)</source>
        <translation>Thread de sortie DMX en priorité temps réel (SCHED_FIFO)</translation>
    </message>
    <message>
        <source>DMX output thread at normal priority: real-time was refused (allow rtprio in /etc/security/limits.conf or give orvane CAP_SYS_NICE, see README)</source>
        <translation>Thread de sortie DMX en priorité normale : le temps réel a été refusé (autorisez rtprio dans /etc/security/limits.conf ou donnez CAP_SYS_NICE à orvane, voir le README)</translation>
    </message>
</context>
<context>
    <name>Output status</name>
    <message>
        <source>Auto fade disable</source>
        <translation>Transitions auto désactivées</translation>
    </message>
    <message>
        <source>replaying dmx raw %1</source>
        <translation>relecture dmx raw %1</translation>
    </message>
    <message>
        <source>recording dmw raw %1</source>
        <translation>enregistrement dmx raw %1</translation>
    </message>
</context>
<context>
    <name>Pipes</name>
    <message>
        <source>%1 exists and is not a socket</source>
        <translation>%1 existe et n'est pas un socket</translation>
    </message>
    <message>
        <source>%1 is in use by another program</source>
        <translation>%1 est utilisé par un autre programme</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 n'est pas un dossier</translation>
    </message>
    <message>
        <source>%1 belongs to another user</source>
        <translation>%1 appartient à un autre utilisateur</translation>
    </message>
    <message>
        <source>%1 may be written by other users</source>
        <translation>%1 peut être modifié par d'autres utilisateurs</translation>
    </message>
    <message>
        <source>%1: the path is too long for a local socket</source>
        <translation>%1 : le chemin est trop long pour un socket local</translation>
    </message>
    <message>
        <source> (%1 times)</source>
        <translation> (%1 fois)</translation>
    </message>
    <message>
        <source>pipe %1 ready at %2</source>
        <translation>pipe %1 prêt dans %2</translation>
    </message>
    <message>
        <source>pipe %1 cannot listen: %2; trying again every second</source>
        <translation>pipe %1 ne peut pas écouter : %2 ; nouvel essai chaque seconde</translation>
    </message>
    <message>
        <source>pipe %1: client connected%2</source>
        <translation>pipe %1 : client connecté%2</translation>
    </message>
    <message>
        <source>pipe %1: client left%2</source>
        <translation>pipe %1 : client parti%2</translation>
    </message>
    <message>
        <source>pipe %1: %2 more client(s) refused, one is connected</source>
        <translation>pipe %1 : %2 client(s) de plus refusé(s), un est déjà connecté</translation>
    </message>
    <message>
        <source>pipe %1: no moving-head windows, head commands ignored</source>
        <translation>pipe %1 : pas de fenêtres de lyres, commandes de lyres ignorées</translation>
    </message>
    <message>
        <source>pipe %1: %2 unknown command code(s) skipped</source>
        <translation>pipe %1 : %2 code(s) de commande inconnu(s) ignoré(s)</translation>
    </message>
    <message>
        <source>pipe %1: %2 head command(s) lost, the windows did not keep up</source>
        <translation>pipe %1 : %2 commande(s) de lyres perdue(s), les fenêtres n'ont pas suivi</translation>
    </message>
</context>
<context>
    <name>Prompts</name>
    <message>
        <source>Color</source>
        <translation>Couleur</translation>
    </message>
    <message>
        <source>colour chooser</source>
        <translation>choix de la couleur</translation>
    </message>
</context>
<context>
    <name>Recording</name>
    <message>
        <source>cannot be opened: %1</source>
        <translation>impossible à ouvrir : %1</translation>
    </message>
    <message>
        <source>record %1 is longer than 512 bytes: the replay stops there</source>
        <translation>l'enregistrement %1 dépasse 512 octets : la relecture s'arrête là</translation>
    </message>
    <message>
        <source>ends inside record %1: its %2 bytes are not played</source>
        <translation>se termine au milieu de l'enregistrement %1 : ses %2 octets ne sont pas joués</translation>
    </message>
    <message>
        <source>holds no DMX record</source>
        <translation>ne contient aucun enregistrement DMX</translation>
    </message>
    <message>
        <source>writing stopped after %1 records: %2</source>
        <translation>écriture arrêtée après %1 enregistrements : %2</translation>
    </message>
    <message>
        <source>%1 records were lost: the disk did not keep up</source>
        <translation>%1 enregistrements perdus : le disque n'a pas suivi</translation>
    </message>
    <message>
        <source>%1; %2</source>
        <translation>%1 ; %2</translation>
    </message>
    <message>
        <source>Recording %1: %2</source>
        <translation>Enregistrement %1 : %2</translation>
    </message>
</context>
<context>
    <name>Recovery</name>
    <message>
        <source>Recovery file %1 refused: %2; it is left where it is</source>
        <translation>Fichier de récupération %1 refusé : %2 ; il est laissé où il est</translation>
    </message>
    <message>
        <source>Recovered unsaved changes from %1</source>
        <translation>Modifications non enregistrées récupérées de %1</translation>
    </message>
    <message>
        <source>The refused recovery file is kept as %1</source>
        <translation>Le fichier de récupération refusé est gardé sous le nom %1</translation>
    </message>
    <message>
        <source>The refused recovery file %1 cannot be set aside (%2): unsaved changes are not kept until it is moved</source>
        <translation>Le fichier de récupération refusé %1 ne peut pas être mis de côté (%2) : les modifications non enregistrées ne sont pas gardées tant qu'il n'est pas déplacé</translation>
    </message>
    <message>
        <source>Cannot remove the recovery file %1: %2</source>
        <translation>Impossible de supprimer le fichier de récupération %1 : %2</translation>
    </message>
    <message>
        <source>Cannot write the recovery file %1: %2</source>
        <translation>Impossible d'écrire le fichier de récupération %1 : %2</translation>
    </message>
    <message>
        <source>its closing line is missing (the file was cut short or written by something else)</source>
        <translation>sa ligne de fin manque (le fichier a été tronqué ou écrit par autre chose)</translation>
    </message>
    <message>
        <source>its contents do not match its closing line (the file was changed or damaged)</source>
        <translation>son contenu ne correspond pas à sa ligne de fin (le fichier a été modifié ou endommagé)</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>pas un fichier ordinaire</translation>
    </message>
</context>
<context>
    <name>Remote</name>
    <message>
        <source>%1 more like this, the last: %2</source>
        <translation>%1 de plus du même genre, le dernier : %2</translation>
    </message>
</context>
<context>
    <name>Remote surfaces</name>
    <message>
        <source>Remote </source>
        <translation>Télécommande </translation>
    </message>
    <message>
        <source>OSC stays off: %1</source>
        <translation>OSC reste éteint : %1</translation>
    </message>
    <message>
        <source>Web: %1</source>
        <translation>Web : %1</translation>
    </message>
    <message>
        <source>Web: a token was made and kept in %1 (setting webtoken); open %2</source>
        <translation>Web : un jeton a été créé et gardé dans %1 (réglage webtoken) ; ouvrez %2</translation>
    </message>
    <message>
        <source>%1: listening on %2</source>
        <translation>%1 : à l'écoute sur %2</translation>
    </message>
    <message>
        <source>%1: cannot listen on %2: %3</source>
        <translation>%1 : impossible d'écouter sur %2 : %3</translation>
    </message>
    <message>
        <source>%1 did nothing: %2</source>
        <translation>%1 n'a rien fait : %2</translation>
    </message>
    <message>
        <source>off</source>
        <translation>éteint</translation>
    </message>
    <message>
        <source>%1 failed (%2)</source>
        <translation>%1 en échec (%2)</translation>
    </message>
    <message>
        <source>%1 (opens with the DMX line)</source>
        <translation>%1 (s'ouvre avec la ligne DMX)</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
</context>
<context>
    <name>RemoteCommands</name>
    <message>
        <source>"Pause" is disabled: no sound plays</source>
        <translation>"Pause" est désactivé : aucun son ne joue</translation>
    </message>
    <message>
        <source>the master fader</source>
        <translation>le fader master</translation>
    </message>
    <message>
        <source>there is no level fader %1</source>
        <translation>il n'y a pas de fader de niveau %1</translation>
    </message>
    <message>
        <source>the level fader</source>
        <translation>le fader de niveau</translation>
    </message>
    <message>
        <source>unknown command</source>
        <translation>commande inconnue</translation>
    </message>
    <message>
        <source>less than 500 ms after the last "Next step"</source>
        <translation>moins de 500 ms après le dernier "Pas suivant"</translation>
    </message>
    <message>
        <source>"Fade in" is disabled while manual mode is open</source>
        <translation>"Transition" est désactivé tant que le mode manuel est ouvert</translation>
    </message>
    <message>
        <source>a fade runs already</source>
        <translation>une transition est déjà en cours</translation>
    </message>
    <message>
        <source>"Fade in" is not available</source>
        <translation>"Transition" n'est pas disponible</translation>
    </message>
    <message>
        <source>at step 0, or less than 200 ms after the last step back</source>
        <translation>au pas 0, ou moins de 200 ms après le dernier retour en arrière</translation>
    </message>
    <message>
        <source>the show is at step 0</source>
        <translation>le spectacle est au pas 0</translation>
    </message>
    <message>
        <source>step %1 is not in 0-%2</source>
        <translation>le pas %1 n'est pas dans 0-%2</translation>
    </message>
    <message>
        <source>"%1" is disabled</source>
        <translation>"%1" est désactivé</translation>
    </message>
    <message>
        <source>%1 is disabled</source>
        <translation>%1 est désactivé</translation>
    </message>
    <message>
        <source>there is no master volume %1</source>
        <translation>il n'y a pas de volume master %1</translation>
    </message>
    <message>
        <source>the master volume</source>
        <translation>le volume master</translation>
    </message>
</context>
<context>
    <name>Serial line</name>
    <message>
        <source>debug</source>
        <translation>débogage</translation>
    </message>
    <message>
        <source>failed#%1, return %2 (%3)
</source>
        <translation>échec n°%1, retour %2 (%3)
</translation>
    </message>
</context>
<context>
    <name>Session</name>
    <message>
        <source>changes to step %1</source>
        <translation>modifications du pas %1</translation>
    </message>
</context>
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
        <translation>Langue inconnue "%1" dans le réglage language (en ou fr) : le %2 est utilisé</translation>
    </message>
    <message>
        <source>Unknown theme "%1" in the setting theme (classic or stage): classic is used</source>
        <translation>Thème inconnu "%1" dans le réglage theme (classic ou stage) : classic est utilisé</translation>
    </message>
</context>
<context>
    <name>Show check</name>
    <message>
        <source>no problem found</source>
        <translation>aucun problème trouvé</translation>
    </message>
    <message numerus="yes">
        <source>%n problem</source>
        <translation><numerusform>%n problème</numerusform><numerusform>%n problèmes</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>%n problems</source>
        <translation><numerusform>%n problème</numerusform><numerusform>%n problèmes</numerusform></translation>
    </message>
    <message>
        <source>show "%1": %2</source>
        <translation>spectacle "%1" : %2</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>c'est un dossier</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>ce n'est pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>larger than 64 MB</source>
        <translation>plus de 64 Mo</translation>
    </message>
    <message>
        <source>dmx.ini line %1: no "=" in %2: the line is skipped</source>
        <translation>dmx.ini ligne %1 : pas de "=" dans %2 : la ligne est ignorée</translation>
    </message>
    <message>
        <source>dmx.ini line %1: %2 stands before any section: the line is skipped</source>
        <translation>dmx.ini ligne %1 : %2 précède toute section : la ligne est ignorée</translation>
    </message>
    <message>
        <source>dmx.ini line %1: %2 is in section %3, outside steps 0-499: the entry is dropped</source>
        <translation>dmx.ini ligne %1 : %2 est dans la section %3, hors des pas 0-499 : l'entrée est abandonnée</translation>
    </message>
    <message>
        <source>dmx.ini line %1</source>
        <translation>dmx.ini ligne %1</translation>
    </message>
    <message>
        <source>cannot be read: %1</source>
        <translation>est illisible : %1</translation>
    </message>
    <message>
        <source>is no effect file: no "len" in section "effect"</source>
        <translation>n'est pas un fichier d'effet : pas de "len" dans la section "effect"</translation>
    </message>
    <message>
        <source>holds no step ("len" is 0)</source>
        <translation>ne contient aucun pas ("len" vaut 0)</translation>
    </message>
    <message>
        <source>lacks its step %1 (section %2)</source>
        <translation>n'a pas son pas %1 (section %2)</translation>
    </message>
    <message>
        <source>holds %1 steps: only the first %2 play</source>
        <translation>contient %1 pas : seuls les %2 premiers sont joués</translation>
    </message>
    <message>
        <source>hot key code %1 names no key: the hot key does nothing</source>
        <translation>le code de raccourci %1 ne désigne aucune touche : le raccourci ne fait rien</translation>
    </message>
    <message>
        <source>cannot be read: no thread could be started to read it</source>
        <translation>est illisible : aucun thread n'a pu être lancé pour le lire</translation>
    </message>
    <message>
        <source>is left out: %1</source>
        <translation>est laissé de côté : %1</translation>
    </message>
    <message>
        <source>is not a Windows bitmap that can be read</source>
        <translation>n'est pas une image bitmap Windows lisible</translation>
    </message>
    <message>
        <source>%1 is not a show name: a show is one folder of %2</source>
        <translation>%1 n'est pas un nom de spectacle : un spectacle est un dossier de %2</translation>
    </message>
    <message>
        <source>no show %1 in %2</source>
        <translation>pas de spectacle %1 dans %2</translation>
    </message>
    <message>
        <source>sound file %1 is left out of the bank: %2</source>
        <translation>le fichier son %1 est laissé hors de la banque : %2</translation>
    </message>
    <message>
        <source>no show file %1: every step is empty</source>
        <translation>pas de fichier de spectacle %1 : tous les pas sont vides</translation>
    </message>
    <message>
        <source>show file %1 cannot be read: %2</source>
        <translation>le fichier de spectacle %1 est illisible : %2</translation>
    </message>
    <message>
        <source>show file %1: its lines end in a lone CR: they are read as lines, and a save writes CR LF</source>
        <translation>fichier de spectacle %1 : ses lignes finissent par un CR seul : elles sont lues comme des lignes, et un enregistrement écrit CR LF</translation>
    </message>
    <message>
        <source>show file %1 cannot be read</source>
        <translation>le fichier de spectacle %1 est illisible</translation>
    </message>
    <message>
        <source>sound %1</source>
        <translation>son %1</translation>
    </message>
    <message>
        <source>hot key %1 is the fade-in key: one of them does nothing</source>
        <translation>le raccourci %1 est la touche de transition d'entrée : l'un des deux ne fait rien</translation>
    </message>
    <message>
        <source>hot key %1 undoes or redoes: the hot key does nothing</source>
        <translation>le raccourci %1 annule ou rétablit : le raccourci ne fait rien</translation>
    </message>
    <message>
        <source>hot key %1 is also the hot key of %2: only one of them works</source>
        <translation>le raccourci %1 est aussi celui de %2 : un seul des deux fonctionne</translation>
    </message>
    <message>
        <source>%1 %2 is past 32 bits: it is read as %3</source>
        <translation>%1 %2 dépasse 32 bits : il est lu comme %3</translation>
    </message>
    <message>
        <source>fade time %1 is not a number</source>
        <translation>le temps de transition %1 n'est pas un nombre</translation>
    </message>
    <message>
        <source>fade time %1 is negative</source>
        <translation>le temps de transition %1 est négatif</translation>
    </message>
    <message>
        <source>"after fade goto" step %1 is outside 0-499</source>
        <translation>le pas %1 de "after fade goto" est hors de 0-499</translation>
    </message>
    <message>
        <source>step %1</source>
        <translation>pas %1</translation>
    </message>
    <message numerus="yes">
        <source>sound %1 matches no sound of the bank (%n sound in %2)</source>
        <translation><numerusform>le son %1 ne correspond à aucun son de la banque (%n son dans %2)</numerusform><numerusform>le son %1 ne correspond à aucun son de la banque (%n sons dans %2)</numerusform></translation>
    </message>
    <message numerus="yes">
        <source>sound %1 matches no sound of the bank (%n sounds in %2)</source>
        <translation><numerusform>le son %1 ne correspond à aucun son de la banque (%n son dans %2)</numerusform><numerusform>le son %1 ne correspond à aucun son de la banque (%n sons dans %2)</numerusform></translation>
    </message>
    <message>
        <source>CHAIN= without ",step" does nothing</source>
        <translation>CHAIN= sans ",pas" ne fait rien</translation>
    </message>
    <message>
        <source>CHAIN= does not begin the Extra text: the show name is read as %1</source>
        <translation>CHAIN= ne commence pas le texte Extra : le nom du spectacle est lu comme %1</translation>
    </message>
    <message>
        <source>CHAIN= show %1 is not a show name</source>
        <translation>CHAIN= : %1 n'est pas un nom de spectacle</translation>
    </message>
    <message>
        <source>CHAIN= show %1 does not exist in %2</source>
        <translation>CHAIN= : le spectacle %1 n'existe pas dans %2</translation>
    </message>
    <message>
        <source>CHAIN= step %1 is outside 0-499: the show would start at step 0</source>
        <translation>CHAIN= : le pas %1 est hors de 0-499 : le spectacle démarrerait au pas 0</translation>
    </message>
    <message>
        <source>MATRIX= picture %1 is not in the working folder nor in %2</source>
        <translation>MATRIX= : l'image %1 n'est ni dans le dossier de travail ni dans %2</translation>
    </message>
    <message>
        <source>MATRIX= picture %1 %2</source>
        <translation>MATRIX= : le fichier image %1 %2</translation>
    </message>
    <message>
        <source>%1 effect file %2 is not in %3</source>
        <translation>%1 : le fichier d'effet %2 n'est pas dans %3</translation>
    </message>
    <message>
        <source>%1 effect file %2 %3</source>
        <translation>%1 : le fichier d'effet %2 %3</translation>
    </message>
    <message>
        <source>REPLAYDMX= file %1 is not in %2</source>
        <translation>REPLAYDMX= : le fichier %1 n'est pas dans %2</translation>
    </message>
    <message>
        <source>REPLAYDMX= file %1 %2</source>
        <translation>REPLAYDMX= : le fichier %1 %2</translation>
    </message>
    <message>
        <source>step %1: %2</source>
        <translation>pas %1 : %2</translation>
    </message>
    <message numerus="yes">
        <source>… and %n more like it</source>
        <translation><numerusform>… et %n autre du même genre</numerusform><numerusform>… et %n autres du même genre</numerusform></translation>
    </message>
    <message>
        <source>not decoded within %1 (the decoder did not return: the file may be damaged)</source>
        <translation>non décodé en %1 (le décodeur n'a pas rendu la main : le fichier est peut-être endommagé)</translation>
    </message>
    <message>
        <source>not read within %1 (the decoder did not return: the file may be damaged)</source>
        <translation>non lu en %1 (le décodeur n'a pas rendu la main : le fichier est peut-être endommagé)</translation>
    </message>
</context>
<context>
    <name>Show chooser</name>
    <message>
        <source>Select Show</source>
        <translation>Choix du spectacle</translation>
    </message>
    <message>
        <source>no show selected</source>
        <translation>aucun spectacle choisi</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Nouveau</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>New show</source>
        <translation>Nouveau spectacle</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>please enter new show name here</source>
        <translation>entrez ici le nom du nouveau spectacle</translation>
    </message>
    <message>
        <source>Can't create directory %1: %2</source>
        <translation>Impossible de créer le dossier %1 : %2</translation>
    </message>
</context>
<context>
    <name>Show file</name>
    <message>
        <source>Cannot read the show file %1: %2</source>
        <translation>Impossible de lire le fichier de spectacle %1 : %2</translation>
    </message>
    <message>
        <source>%1. The show opens empty; this file will not be replaced without your consent.</source>
        <translation>%1. Le spectacle s'ouvre vide ; ce fichier ne sera pas remplacé sans votre accord.</translation>
    </message>
    <message>
        <source>%1 does not look like a show: none of its %2 lines could be read</source>
        <translation>%1 ne ressemble pas à un spectacle : aucune de ses %2 lignes n'a pu être lue</translation>
    </message>
    <message>
        <source>%1: its lines end with a lone CR; they were read that way and will be saved with CR LF</source>
        <translation>%1 : ses lignes finissent par un CR seul ; elles ont été lues ainsi et seront enregistrées en CR LF</translation>
    </message>
    <message>
        <source>%1 line(s) out of %2 could not be read</source>
        <translation>%1 ligne(s) sur %2 n'ont pas pu être lues</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <source>%1; %2</source>
        <translation>%1 ; %2</translation>
    </message>
    <message>
        <source>%1 could not be read (%2)</source>
        <translation>%1 n'a pas pu être lu (%2)</translation>
    </message>
    <message>
        <source>%1 does not look like a show file</source>
        <translation>%1 ne ressemble pas à un fichier de spectacle</translation>
    </message>
    <message>
        <source>%1: it is not replaced.</source>
        <translation>%1 : il n'est pas remplacé.</translation>
    </message>
    <message>
        <source>%1. Replace it with the show in memory?</source>
        <translation>%1. Le remplacer par le spectacle en mémoire ?</translation>
    </message>
    <message>
        <source>The show is saved in %1, but the previous file could not be kept in %2.bak: %3</source>
        <translation>Le spectacle est enregistré dans %1, mais le fichier précédent n'a pas pu être gardé dans %2.bak : %3</translation>
    </message>
    <message>
        <source>Cannot save the show in %1: %2</source>
        <translation>Impossible d'enregistrer le spectacle dans %1 : %2</translation>
    </message>
    <message>
        <source>The show was not saved in %1. Quit anyway?</source>
        <translation>Le spectacle n'a pas été enregistré dans %1. Quitter quand même ?</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>pas un fichier ordinaire</translation>
    </message>
</context>
<context>
    <name>Show folders</name>
    <message>
        <source>cannot read %1: %2</source>
        <translation>impossible de lire %1 : %2</translation>
    </message>
    <message>
        <source>cannot create %1: %2</source>
        <translation>impossible de créer %1 : %2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>impossible d'écrire %1 : %2</translation>
    </message>
    <message>
        <source>the folder of the shows %1 is not a folder</source>
        <translation>le dossier des spectacles %1 n'est pas un dossier</translation>
    </message>
    <message>
        <source>cannot use the folder of the shows %1: %2</source>
        <translation>impossible d'utiliser le dossier des spectacles %1 : %2</translation>
    </message>
    <message>
        <source>cannot create the folder of the shows %1: %2</source>
        <translation>impossible de créer le dossier des spectacles %1 : %2</translation>
    </message>
    <message>
        <source>the demo show was not copied: %1</source>
        <translation>le spectacle de démonstration n'a pas été copié : %1</translation>
    </message>
    <message>
        <source>the name is empty</source>
        <translation>le nom est vide</translation>
    </message>
    <message>
        <source>the name contains "/"</source>
        <translation>le nom contient "/"</translation>
    </message>
    <message>
        <source>"%1" is not a folder name</source>
        <translation>"%1" n'est pas un nom de dossier</translation>
    </message>
    <message>
        <source>the name contains a null character</source>
        <translation>le nom contient un caractère nul</translation>
    </message>
    <message>
        <source>Show name refused: "%1" (%2). A show is a folder of %3.</source>
        <translation>Nom de spectacle refusé : "%1" (%2). Un spectacle est un dossier de %3.</translation>
    </message>
    <message>
        <source>The show "%1" does not exist in %2.</source>
        <translation>Le spectacle "%1" n'existe pas dans %2.</translation>
    </message>
</context>
<context>
    <name>Show time</name>
    <message>
        <source>Show time !</source>
        <translation>Spectacle !</translation>
    </message>
</context>
<context>
    <name>ShowTime</name>
    <message>
        <source>Next: end of the show</source>
        <translation>Suivant : fin du spectacle</translation>
    </message>
    <message>
        <source>Next: %1</source>
        <translation>Suivant : %1</translation>
    </message>
    <message>
        <source>Page Up / Page Down control Master Volume (shift=slow control), Suppr mute, Space goto next step, plus and minus goto next or previous step, A-Z control lights (shift for blink)</source>
        <translation>Page préc. / Page suiv. règlent le volume master (Maj = réglage lent), Suppr coupe le son, Espace passe au pas suivant, plus et moins vont au pas suivant ou précédent, A-Z pilotent les lumières (Maj pour clignoter)</translation>
    </message>
    <message>
        <source>Next step</source>
        <translation>Pas suivant</translation>
    </message>
    <message>
        <source>Vol Master</source>
        <translation>Vol master</translation>
    </message>
    <message>
        <source>locked</source>
        <translation>figé</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Fs</source>
        <translation>PE</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Sortir</translation>
    </message>
</context>
<context>
    <name>Sound</name>
    <message>
        <source>cannot be read: %1</source>
        <translation>illisible : %1</translation>
    </message>
    <message>
        <source>shorter than its size</source>
        <translation>plus court que sa taille</translation>
    </message>
    <message>
        <source>cannot be opened: %1</source>
        <translation>impossible à ouvrir : %1</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>too large</source>
        <translation>trop grand</translation>
    </message>
    <message>
        <source>not decoded within %1 (the decoder did not return: the file may be damaged)</source>
        <translation>non décodé en %1 (le décodeur n'a pas rendu la main : le fichier est peut-être endommagé)</translation>
    </message>
    <message>
        <source>the bank holds at most 500 sounds</source>
        <translation>la banque contient au plus 500 sons</translation>
    </message>
    <message>
        <source>no thread could be started to decode it</source>
        <translation>aucun thread n'a pu être lancé pour le décoder</translation>
    </message>
    <message>
        <source>its decoding was stopped</source>
        <translation>son décodage a été arrêté</translation>
    </message>
    <message>
        <source>%1; not tried again until it changes</source>
        <translation>%1 ; pas de nouvel essai tant qu'il ne change pas</translation>
    </message>
    <message>
        <source>not a .wav file: the bank reads only those</source>
        <translation>pas un fichier .wav : la banque ne lit que ceux-là</translation>
    </message>
    <message>
        <source>sound file %1 left out: %2</source>
        <translation>fichier audio %1 écarté : %2</translation>
    </message>
    <message>
        <source>Loading the sound file %1...</source>
        <translation>Chargement du fichier audio %1...</translation>
    </message>
    <message>
        <source>Sound file %1 left out: %2</source>
        <translation>Fichier audio %1 écarté : %2</translation>
    </message>
    <message>
        <source>cannot open the sound device: %1</source>
        <translation>impossible d'ouvrir la sortie audio : %1</translation>
    </message>
    <message>
        <source>no sound output: %1</source>
        <translation>pas de sortie audio : %1</translation>
    </message>
    <message>
        <source>too long to be played</source>
        <translation>trop long pour être joué</translation>
    </message>
    <message>
        <source>only %1 bytes of sample data, at least %2 needed</source>
        <translation>seulement %1 octets d'échantillons, il en faut au moins %2</translation>
    </message>
    <message>
        <source>not a sound file that can be decoded (%1)</source>
        <translation>pas un fichier audio décodable (%1)</translation>
    </message>
    <message>
        <source>unsupported layout: %1 channels at %2 Hz</source>
        <translation>format non pris en charge : %1 canaux à %2 Hz</translation>
    </message>
</context>
<context>
    <name>Step editing</name>
    <message>
        <source>Do you really want to do this?</source>
        <translation>Voulez-vous vraiment faire ceci ?</translation>
    </message>
</context>
<context>
    <name>Timeline</name>
    <message>
        <source>Timeline</source>
        <translation>Ligne de temps</translation>
    </message>
    <message>
        <source>(empty)</source>
        <translation>(vide)</translation>
    </message>
</context>
<context>
    <name>Undo</name>
    <message>
        <source>insert step %1</source>
        <translation>insertion du pas %1</translation>
    </message>
    <message>
        <source>delete step %1</source>
        <translation>suppression du pas %1</translation>
    </message>
    <message>
        <source>duplicate step %1</source>
        <translation>duplication du pas %1</translation>
    </message>
    <message>
        <source>Undone: %1</source>
        <translation>Annulé : %1</translation>
    </message>
    <message>
        <source>Redone: %1</source>
        <translation>Rétabli : %1</translation>
    </message>
    <message>
        <source>Nothing to undo</source>
        <translation>Rien à annuler</translation>
    </message>
    <message>
        <source>Nothing to redo</source>
        <translation>Rien à rétablir</translation>
    </message>
    <message>
        <source>Undo and redo wait until the change under way is done</source>
        <translation>Annuler et rétablir attendent la fin de la modification en cours</translation>
    </message>
    <message>
        <source>changes to the show</source>
        <translation>modifications du spectacle</translation>
    </message>
</context>
<context>
    <name>WebPage</name>
    <message>
        <source>orvane remote</source>
        <translation>télécommande orvane</translation>
    </message>
    <message>
        <source>Connecting…</source>
        <translation>Connexion…</translation>
    </message>
    <message>
        <source>Connection to the console lost. Reconnecting…</source>
        <translation>Connexion à la console perdue. Reconnexion…</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>Pas</translation>
    </message>
    <message>
        <source>Fade progress</source>
        <translation>Avancement de la transition</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Suivant</translation>
    </message>
    <message>
        <source>Master</source>
        <translation>Master</translation>
    </message>
    <message>
        <source>Volume 1</source>
        <translation>Volume 1</translation>
    </message>
    <message>
        <source>Volume 2</source>
        <translation>Volume 2</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>GO</source>
        <translation>GO</translation>
    </message>
    <message>
        <source>Live</source>
        <translation>En ligne</translation>
    </message>
    <message>
        <source>Not connected</source>
        <translation>Non connecté</translation>
    </message>
    <message>
        <source>Not connected: nothing was sent.</source>
        <translation>Non connecté : rien n'a été envoyé.</translation>
    </message>
    <message>
        <source>The address has no token: open the address the console gave, with ?token=.</source>
        <translation>L'adresse n'a pas de jeton : ouvrez l'adresse donnée par la console, avec ?token=.</translation>
    </message>
</context>
<context>
    <name>WebRemote</name>
    <message>
        <source>request headers over %1 bytes</source>
        <translation>en-têtes de requête de plus de %1 octets</translation>
    </message>
    <message>
        <source>a request line that is not HTTP</source>
        <translation>une ligne de requête qui n'est pas du HTTP</translation>
    </message>
    <message>
        <source>a body in pieces (Transfer-Encoding); send its length</source>
        <translation>un corps en morceaux (Transfer-Encoding) ; envoyez sa longueur</translation>
    </message>
    <message>
        <source>a Content-Length that is not a number</source>
        <translation>un Content-Length qui n'est pas un nombre</translation>
    </message>
    <message>
        <source>a body over %1 bytes</source>
        <translation>un corps de plus de %1 octets</translation>
    </message>
    <message>
        <source>step "%1" is not a step number (0-%2)</source>
        <translation>pas "%1" n'est pas un numéro de pas (0-%2)</translation>
    </message>
    <message>
        <source>"value" must be a whole step number (0-%1)</source>
        <translation>"value" doit être un numéro de pas entier (0-%1)</translation>
    </message>
    <message>
        <source>step %1 is out of range (0-%2)</source>
        <translation>le pas %1 est hors limites (0-%2)</translation>
    </message>
    <message>
        <source>"value" must be a number from 0 to 1</source>
        <translation>"value" doit être un nombre de 0 à 1</translation>
    </message>
    <message>
        <source>value %1 is out of range (0-1)</source>
        <translation>la valeur %1 est hors limites (0-1)</translation>
    </message>
    <message>
        <source>unknown command "%1"</source>
        <translation>commande inconnue "%1"</translation>
    </message>
    <message>
        <source>a message must be a JSON object like {"command": "go"}</source>
        <translation>un message doit être un objet JSON comme {"command": "go"}</translation>
    </message>
    <message>
        <source>a message needs "command"</source>
        <translation>un message doit avoir "command"</translation>
    </message>
    <message>
        <source>too many commands at once: the command was dropped</source>
        <translation>trop de commandes à la fois : la commande a été abandonnée</translation>
    </message>
    <message>
        <source>the console is busy: the command was dropped</source>
        <translation>la console est occupée : la commande a été abandonnée</translation>
    </message>
    <message>
        <source>the page is read with GET</source>
        <translation>la page se lit avec GET</translation>
    </message>
    <message>
        <source>the state is read with GET</source>
        <translation>l'état se lit avec GET</translation>
    </message>
    <message>
        <source>no such path</source>
        <translation>chemin inconnu</translation>
    </message>
    <message>
        <source>commands are sent with POST</source>
        <translation>les commandes s'envoient avec POST</translation>
    </message>
    <message>
        <source>the body must be JSON like {"value": 0.5}</source>
        <translation>le corps doit être du JSON comme {"value": 0.5}</translation>
    </message>
    <message>
        <source>no token</source>
        <translation>pas de jeton</translation>
    </message>
    <message>
        <source>its page is missing from the program</source>
        <translation>sa page manque dans le programme</translation>
    </message>
    <message>
        <source>webtoken is shorter than %1 characters: someone who can reach the web remote may guess it</source>
        <translation>webtoken fait moins de %1 caractères : quelqu'un qui peut joindre la télécommande web peut le deviner</translation>
    </message>
    <message>
        <source>the new webtoken could not be stored in %1: it holds for this run only, and the address changes at the next start</source>
        <translation>le nouveau webtoken n'a pas pu être enregistré dans %1 : il ne vaut que pour cette session, et l'adresse changera au prochain démarrage</translation>
    </message>
    <message>
        <source>webport "%1" is not a port number (1-65535): the web remote is off</source>
        <translation>webport "%1" n'est pas un numéro de port (1-65535) : la télécommande web est éteinte</translation>
    </message>
    <message>
        <source>webbind "%1" is not an IPv4 or IPv6 address: the web remote is off</source>
        <translation>webbind "%1" n'est pas une adresse IPv4 ou IPv6 : la télécommande web est éteinte</translation>
    </message>
    <message>
        <source>requests without the right token</source>
        <translation>requêtes sans le bon jeton</translation>
    </message>
    <message>
        <source>requests for a path the web remote does not have</source>
        <translation>requêtes d'un chemin que la télécommande web n'a pas</translation>
    </message>
    <message>
        <source>commands refused</source>
        <translation>commandes refusées</translation>
    </message>
    <message>
        <source>requests with oversized headers</source>
        <translation>requêtes aux en-têtes trop grands</translation>
    </message>
    <message>
        <source>requests with an oversized body</source>
        <translation>requêtes au corps trop grand</translation>
    </message>
    <message>
        <source>requests that are not HTTP the web remote takes</source>
        <translation>requêtes dans un HTTP que la télécommande web ne prend pas</translation>
    </message>
    <message>
        <source>connections too slow to send their request</source>
        <translation>connexions trop lentes à envoyer leur requête</translation>
    </message>
    <message>
        <source>connections closed to make room for new ones</source>
        <translation>connexions fermées pour faire place à de nouvelles</translation>
    </message>
    <message>
        <source>live connections refused, all places taken</source>
        <translation>connexions en direct refusées, toutes les places sont prises</translation>
    </message>
    <message>
        <source>live messages that are no command</source>
        <translation>messages en direct qui ne sont pas des commandes</translation>
    </message>
    <message>
        <source>commands dropped, too many at once</source>
        <translation>commandes abandonnées, trop à la fois</translation>
    </message>
    <message>
        <source>trouble</source>
        <translation>problème</translation>
    </message>
    <message>
        <source>%1: %2, %3</source>
        <translation>%1 : %2, %3</translation>
    </message>
    <message>
        <source>web remote: </source>
        <translation>télécommande web : </translation>
    </message>
    <message>
        <source>a wrong or missing token</source>
        <translation>un jeton faux ou absent</translation>
    </message>
    <message>
        <source>"%1" is not an IP address</source>
        <translation>"%1" n'est pas une adresse IP</translation>
    </message>
    <message>
        <source>at most %1 connections at one time</source>
        <translation>au plus %1 connexions à la fois</translation>
    </message>
    <message>
        <source>no live connection at this path</source>
        <translation>pas de connexion en direct à ce chemin</translation>
    </message>
    <message>
        <source>all %1 live places are taken</source>
        <translation>les %1 places en direct sont prises</translation>
    </message>
    <message>
        <source>a binary message</source>
        <translation>un message binaire</translation>
    </message>
    <message>
        <source>messages are JSON text</source>
        <translation>les messages sont du texte JSON</translation>
    </message>
    <message>
        <source>a message over %1 bytes; the connection is closed</source>
        <translation>un message de plus de %1 octets ; la connexion est fermée</translation>
    </message>
    <message>
        <source>the request did not arrive whole in time</source>
        <translation>la requête n'est pas arrivée entière à temps</translation>
    </message>
</context>
</TS>
