#include "store/Formato4.h"

#include <QFile>
#include <array>
#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/params.h>

namespace store {

namespace {

// SQLCipher 4's defaults: page, salt, IV and HMAC sizes, and its key derivation.
constexpr int kPagina = 4096;
constexpr int kSal = 16;
constexpr int kHmac = 64;
constexpr int kClave = 32;
constexpr int kIteraciones = 256000;
constexpr int kIteracionesHmac = 2;
constexpr unsigned char kMascaraSalHmac = 0x3a;

} // namespace

bool esFormatoSqlcipher4(const QString& ruta, const QByteArray& clave)
{
    QFile fichero(ruta);
    if (!fichero.open(QIODevice::ReadOnly))
        return false;
    const QByteArray pagina = fichero.read(kPagina);
    if (pagina.size() != kPagina)
        return false;
    const auto* datos = reinterpret_cast<const unsigned char*>(pagina.constData());

    std::array<unsigned char, kClave> claveCifrado{};
    std::array<unsigned char, kClave> claveHmac{};
    std::array<unsigned char, kSal> salHmac{};
    for (int i = 0; i < kSal; ++i)
        salHmac[i] = datos[i] ^ kMascaraSalHmac;
    bool ok = PKCS5_PBKDF2_HMAC(clave.constData(), int(clave.size()), datos, kSal, kIteraciones, EVP_sha512(), kClave,
                                claveCifrado.data()) == 1 &&
              PKCS5_PBKDF2_HMAC(reinterpret_cast<const char*>(claveCifrado.data()), kClave, salHmac.data(), kSal,
                                kIteracionesHmac, EVP_sha512(), kClave, claveHmac.data()) == 1;

    // The HMAC covers the encrypted page after the salt and its IV, then the page number in little-endian.
    std::array<unsigned char, kHmac> calculado{};
    if (ok) {
        const unsigned char numeroPagina[4] = {1, 0, 0, 0};
        EVP_MAC* mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
        EVP_MAC_CTX* contexto = mac ? EVP_MAC_CTX_new(mac) : nullptr;
        char digest[] = "SHA512";
        const OSSL_PARAM parametros[] = {OSSL_PARAM_construct_utf8_string("digest", digest, 0), OSSL_PARAM_END};
        size_t longitud = 0;
        ok = contexto && EVP_MAC_init(contexto, claveHmac.data(), kClave, parametros) == 1 &&
             EVP_MAC_update(contexto, datos + kSal, kPagina - kSal - kHmac) == 1 &&
             EVP_MAC_update(contexto, numeroPagina, sizeof numeroPagina) == 1 &&
             EVP_MAC_final(contexto, calculado.data(), &longitud, calculado.size()) == 1 && longitud == kHmac;
        EVP_MAC_CTX_free(contexto);
        EVP_MAC_free(mac);
    }
    OPENSSL_cleanse(claveCifrado.data(), claveCifrado.size());
    OPENSSL_cleanse(claveHmac.data(), claveHmac.size());
    return ok && CRYPTO_memcmp(calculado.data(), datos + kPagina - kHmac, kHmac) == 0;
}

} // namespace store
