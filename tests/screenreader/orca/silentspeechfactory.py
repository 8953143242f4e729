# SPDX-License-Identifier: GPL-3.0-or-later
# A speech server for Orca that speaks nowhere: Orca logs every utterance
# ("SPEECH OUTPUT") before it hands it over, so its debug file holds what
# a user would hear. Say-all is read through to its end at once.
from gi.repository import GLib
from orca import debug, speechserver

class SpeechServer(speechserver.SpeechServer):
    _server = None

    @staticmethod
    def getFactoryName():
        return "silent"

    @staticmethod
    def getSpeechServers():
        return [SpeechServer.getSpeechServer()]

    @staticmethod
    def getSpeechServer(info=None):
        if SpeechServer._server is None:
            SpeechServer._server = SpeechServer()
        return SpeechServer._server

    @staticmethod
    def shutdownActiveServers():
        SpeechServer._server = None

    def getInfo(self):
        return ["silent", "silent"]

    def getVoiceFamilies(self):
        return []

    def sayAll(self, utteranceIterator, progressCallback):
        GLib.idle_add(self._next, utteranceIterator, progressCallback)

    def _next(self, iterator, callback):
        try:
            context, acss = next(iterator)
        except StopIteration:
            return False
        debug.println(debug.LEVEL_INFO, "SPEECH OUTPUT: '%s'" % context.utterance, True)
        context.currentOffset = context.endOffset
        callback(context.copy(), speechserver.SayAllContext.COMPLETED)
        GLib.idle_add(self._next, iterator, callback)
        return False
