"""SMTP server on loopback for the mail tests and the benchmark.

Usage: servidor_smtps.py MODE CERT KEY SPOOL USER PASSWORD
MODE: tls (implicit TLS, the real thing), plano (plain SMTP on the port), mudo (accepts, never answers).
USER empty: no authentication offered or required.
Prints "PUERTO <n>" once listening. Each accepted message becomes SPOOL/<n>.json, its attachments
SPOOL/<n>_<file name>. Recipients beginning with "rechaza" are refused with 550.
"""
import asyncio
import email
import email.policy
import json
import os
import signal
import socket
import ssl
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

modo, cert, key, spool, usuario, clave = sys.argv[1:7]


def puerto_libre():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    p = s.getsockname()[1]
    s.close()
    return p


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
    if modo == "tls":
        contexto = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        contexto.load_cert_chain(cert, key)
    controlador = Controller(Buzon(), hostname="127.0.0.1", port=puerto, ssl_context=contexto,
                             server_hostname="127.0.0.1", **opciones)
    controlador.start()
    print("PUERTO %d" % puerto, flush=True)
    try:
        signal.sigwait([signal.SIGTERM, signal.SIGINT])
    finally:
        controlador.stop()


if __name__ == "__main__":
    signal.pthread_sigmask(signal.SIG_BLOCK, [signal.SIGTERM, signal.SIGINT])
    main()
