<?php
// Cryptbox: the cryptbox library's Descrypt from PHP, through PHP's FFI extension
// (php.ini: extension=ffi and ffi.enable=true). DES-ECB under an 8-character key text,
// to and from lower-case hex; a refusal is a CryptboxException carrying the library's
// message, checked here first so that the library never prints it.

class CryptboxException extends RuntimeException
{
    public const LENGTH = 1;   // 加密串长度不正确: nothing to encrypt or decrypt
    public const KEY = 2;      // 秘钥必须为8位: the key text is not 8 bytes
    public const REFUSED = 3;  // the library refused: hex that is not whole 8-byte blocks, or too long
}

final class Cryptbox
{
    private const DECLARATION = 'uint8_t Descrypt(uint8_t mode, const char *input, int32_t length,
        char *output, int32_t *output_len, const char *key);';
    private const MAX_MESSAGE = 1073741816;  // whose hex length still fits the library's int32

    private FFI $ffi;

    // Loads cryptbox.dll on Windows, libcryptbox.so elsewhere, from this file's folder
    // unless another path is given.
    public function __construct(?string $library = null)
    {
        $library ??= __DIR__ . DIRECTORY_SEPARATOR . (PHP_OS_FAMILY === 'Windows' ? 'cryptbox.dll' : 'libcryptbox.so');
        $this->ffi = FFI::cdef(self::DECLARATION, $library);
    }

    public function encrypt(string $message, string $key): string
    {
        $this->check(strlen($message), $key);
        if (strlen($message) > self::MAX_MESSAGE) {
            throw new CryptboxException('message too long', CryptboxException::REFUSED);
        }
        $output = $this->ffi->new('char[' . (intdiv(strlen($message) + 7, 8) * 16 + 1) . ']');
        return $this->call(1, $message, $output, $key);
    }

    public function decrypt(string $hex, string $key): string
    {
        $this->check(strlen($hex), $key);
        $output = $this->ffi->new('char[' . max(1, intdiv(strlen($hex), 2)) . ']');
        return $this->call(0, $hex, $output, $key);
    }

    private function check(int $length, string $key): void
    {
        if ($length <= 0 || $length > 0x7fffffff) {
            throw new CryptboxException('加密串长度不正确', CryptboxException::LENGTH);
        }
        if (strlen($key) !== 8 || str_contains($key, "\0")) {
            throw new CryptboxException('秘钥必须为8位', CryptboxException::KEY);
        }
    }

    private function call(int $mode, string $input, FFI\CData $output, string $key): string
    {
        $length = $this->ffi->new('int32_t');
        if ($this->ffi->Descrypt($mode, $input, strlen($input), $output, FFI::addr($length), $key) !== 1) {
            throw new CryptboxException('hex text is not whole 8-byte blocks', CryptboxException::REFUSED);
        }
        return FFI::string($output, $length->cdata);
    }
}
