# SPDX-License-Identifier: GPL-3.0-or-later
# Orca settings for the screen-reader test, loaded from the temporary
# settings folder: no braille, no key echo (a typed letter must not be
# heard as typed), speech on but into nothing, and a debug file written
# line by line so that every SPEECH OUTPUT line can be read at once.
from orca import debug, settings
settings.enableBraille = False
settings.enableBrailleMonitor = False
settings.enableKeyEcho = False
settings.enableEchoByCharacter = False
settings.enableEchoByWord = False
settings.enableEchoBySentence = False
settings.enableSound = False
settings.speechServerFactory = "silentspeechfactory"
settings.speechFactoryModules = ["silentspeechfactory"]
if debug.debugFile:
    debug.debugFile.reconfigure(line_buffering=True)
