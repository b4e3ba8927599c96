"""SMTP server on loopback for the mail tests and the benchmark.

Usage: servidor_smtps.py MODE CERT KEY SPOOL USER PASSWORD
MODE: tls (implicit TLS, the real thing), plano (plain SMTP on the port), mudo (accepts, never answers),
and over TLS the misbehaving ones: calla_datos (takes the message, never answers its end), goteo_saludo and
goteo_datos (answer the greeting, or the message, one byte a second without end), calla_quit (accepts the
message, never answers QUIT), and ligero (implicit TLS that takes each message without reading it: for
measuring the sender, whom a strict reader in Python would otherwise hold up; SPOOL/<n>.json has only the
envelope and the size).
USER empty: no authentication offered or required.
Prints "PUERTO <n>" once listening. Every message is parsed with email.policy.strict and its Date must be
within a minute of now with a time zone; one that is not is refused with 554 and the reason goes to
SPOOL/errores.log. Each accepted message becomes SPOOL/<n>.json, its attachments SPOOL/<n>_<file name>.
Every command line as received (MAIL, RCPT and the rest, not the message) goes to SPOOL/dialogo.log, one
JSON string per line. Recipients beginning with "rechaza" are refused with 550.
"""
import asyncio
import datetime
import email
import email.policy
import email.utils
import itertools
import json
import os
import signal
import socket
import ssl
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

modo, cert, key, spool, usuario, clave = sys.argv[1:7]


def puerto_libre():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    p = s.getsockname()[1]
    s.close()
    return p


def anotar(fichero, texto):
    with open(os.path.join(spool, fichero), "a", encoding="utf-8") as f:
        f.write(texto + "\n")


async def gotear(writer):
    for byte in itertools.cycle(b"250-sigo aqui\r\n"):
        writer.write(bytes([byte]))
        await writer.drain()
        await asyncio.sleep(1)


def revisar(crudo):
    """What a strict reader finds wrong with the message, or None."""
    try:
        msg = email.message_from_bytes(crudo, policy=email.policy.strict)
        for _, valor in msg.items():
            str(valor)
        for parte in msg.walk():
            for _, valor in parte.items():
                str(valor)
            if not parte.is_multipart():
                parte.get_content()
        if msg["Date"] is None or msg["Message-ID"] is None:
            return "sin Date o sin Message-ID"
        fecha = email.utils.parsedate_to_datetime(str(msg["Date"]))
        if fecha.tzinfo is None:
            return "Date sin zona: %s" % msg["Date"]
        desfase = abs((fecha - datetime.datetime.now(datetime.timezone.utc)).total_seconds())
        if desfase > 60:
            return "Date desfasada %d s: %s" % (desfase, msg["Date"])
    except Exception as e:  # every defect strict raises, and a Date that does not parse
        return "%s: %s" % (type(e).__name__, e)
    return None


class Sesion(SMTP):
    """Writes each command line as it arrives; misbehaves as the mode says."""

    async def _handle_client(self):
        leer = self._reader.readuntil
        sesion = self

        async def readuntil(separador=b"\n"):
            linea = await leer(separador)
            if modo != "ligero" and not getattr(sesion, "en_datos", False):
                anotar("dialogo.log", json.dumps(linea.rstrip(b"\r\n").decode("utf-8", "surrogateescape"),
                                                 ensure_ascii=True))
            return linea

        self._reader.readuntil = readuntil
        if modo == "goteo_saludo":
            await gotear(self._writer)
        await super()._handle_client()

    async def smtp_DATA(self, arg):
        self.en_datos = True
        try:
            await super().smtp_DATA(arg)
        finally:
            self.en_datos = False

    async def smtp_QUIT(self, arg):
        if modo == "calla_quit":
            await asyncio.sleep(3600)
        await super().smtp_QUIT(arg)


class Buzon:
    def __init__(self):
        self.n = 0
        self.lock = threading.Lock()

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower().startswith("rechaza"):
            return "550 5.1.1 Mailbox unavailable"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if modo == "calla_datos":
            await asyncio.sleep(3600)
        if modo == "goteo_datos":
            await gotear(server._writer)
        if modo == "ligero":
            with self.lock:
                self.n += 1
                n = self.n
            with open(os.path.join(spool, "%d.json" % n), "w", encoding="utf-8") as f:
                json.dump({"de": envelope.mail_from, "para": envelope.rcpt_tos,
                           "bytes": len(envelope.original_content)}, f)
            return "250 Message accepted for delivery"
        problema = revisar(envelope.original_content)
        if problema:
            anotar("errores.log", problema)
            return "554 5.6.0 Mensaje mal formado"
        with self.lock:
            self.n += 1
            n = self.n
        msg = email.message_from_bytes(envelope.content, policy=email.policy.default)
        body = msg.get_body(preferencelist=("plain",))
        anexos = []
        for parte in msg.iter_attachments():
            nombre = parte.get_filename()
            ruta = os.path.join(spool, "%d_%s" % (n, nombre))
            with open(ruta, "wb") as f:
                f.write(parte.get_payload(decode=True))
            anexos.append({"nombre": nombre, "tipo": parte.get_content_type(), "ruta": ruta})
        datos = {
            "de": envelope.mail_from,
            "para": envelope.rcpt_tos,
            "usuario": getattr(session, "auth_data", None) and session.auth_data.login.decode(),
            "cabecera_de": str(msg["From"]),
            "cabecera_para": str(msg["To"]),
            "asunto": str(msg["Subject"]),
            "fecha": str(msg["Date"]) if msg["Date"] else "",
            "fecha_zona": email.utils.parsedate_to_datetime(str(msg["Date"])).utcoffset().total_seconds(),
            "id": str(msg["Message-ID"]) if msg["Message-ID"] else "",
            "texto": body.get_content() if body is not None else "",
            "anexos": anexos,
        }
        tmp = os.path.join(spool, "%d.tmp" % n)
        with open(tmp, "w", encoding="utf-8") as f:
            json.dump(datos, f, ensure_ascii=False)
        os.replace(tmp, os.path.join(spool, "%d.json" % n))
        return "250 Message accepted for delivery"


def autenticar(server, session, envelope, mechanism, auth_data):
    if isinstance(auth_data, LoginPassword) and auth_data.login.decode() == usuario \
            and auth_data.password.decode() == clave:
        return AuthResult(success=True, auth_data=auth_data)
    return AuthResult(success=False, handled=False)


def main():
    if modo == "mudo":
        s = socket.socket()
        s.bind(("127.0.0.1", 0))
        s.listen(16)
        print("PUERTO %d" % s.getsockname()[1], flush=True)
        signal.sigwait([signal.SIGTERM, signal.SIGINT])
        return
    puerto = puerto_libre()
    opciones = {}
    if usuario:
        # LOGIN only, the mechanism the account is documented to use.
        opciones = dict(authenticator=autenticar, auth_required=True, auth_require_tls=False,
                        auth_exclude_mechanism=["PLAIN"])
    contexto = None
    if modo != "plano":
        contexto = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        contexto.load_cert_chain(cert, key)
    class Controlador(Controller):
        def factory(self):
            return Sesion(self.handler, **self.SMTP_kwargs)

    controlador = Controlador(Buzon(), hostname="127.0.0.1", port=puerto, ssl_context=contexto,
                              server_hostname="127.0.0.1", **opciones)
    controlador.start()
    print("PUERTO %d" % puerto, flush=True)
    signal.sigwait([signal.SIGTERM, signal.SIGINT])
    if modo in ("tls", "plano"):
        controlador.stop()
    else:
        os._exit(0)  # a stalled session would hold stop() up


if __name__ == "__main__":
    signal.pthread_sigmask(signal.SIG_BLOCK, [signal.SIGTERM, signal.SIGINT])
    main()
