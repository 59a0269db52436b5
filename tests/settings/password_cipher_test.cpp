#include <gtest/gtest.h>

#include "settings/password_cipher.h"

namespace {

std::string repeated(const std::string& block, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += block;
    return text;
}

TEST(PasswordCipher, MatchesTheKnownStoredForm)
{
    // "secret" padded with "|": the middle blocks are all "||||||||" and encipher alike.
    std::string expected = "476d00b9100d87b2" + repeated("cd02427c97329c09", 6) + "b6215426d6361e04";
    EXPECT_EQ(password_cipher::encipher("secret"), expected);
    EXPECT_EQ(password_cipher::decipher(expected), "secret");
}

TEST(PasswordCipher, RoundTripsEveryLengthAroundTheBlock)
{
    std::string exact63(63, 'x');
    exact63[0] = 'A';
    EXPECT_EQ(password_cipher::decipher(password_cipher::encipher(exact63)), exact63);
    EXPECT_EQ(
        password_cipher::decipher(password_cipher::encipher(std::string(64, 'y'))), std::string(63, 'y'));
    EXPECT_EQ(
        password_cipher::decipher(password_cipher::encipher(std::string(70, 'z'))), std::string(63, 'z'));
    EXPECT_EQ(password_cipher::decipher(password_cipher::encipher("")), "");
    EXPECT_EQ(password_cipher::decipher(password_cipher::encipher("ab|cd")), "ab");
    EXPECT_EQ(password_cipher::encipher("anything").size(), 128u);
}

TEST(PasswordCipher, UpperCaseDigitsDecodeLikeLowerCase)
{
    std::string stored = password_cipher::encipher("Tr0ub4dor&3");
    std::string upper = stored;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(password_cipher::decipher(upper), "Tr0ub4dor&3");
}

TEST(PasswordCipher, ShortValuesAreOldPlainPasswords)
{
    EXPECT_EQ(password_cipher::decipher("plaintext1"), "plaintext1");
    EXPECT_EQ(password_cipher::decipher(std::string(63, 'q')), std::string(63, 'q'));
}

TEST(PasswordCipher, LongValuesThatAreNotTheEncipheredFormAreRefused)
{
    EXPECT_FALSE(password_cipher::decipher(std::string(64, 'a')).has_value());
    EXPECT_FALSE(password_cipher::decipher(std::string(127, 'a')).has_value());
    EXPECT_FALSE(password_cipher::decipher(std::string(200, '0')).has_value());
    std::string almost = password_cipher::encipher("secret");
    almost[5] = 'g';
    EXPECT_FALSE(password_cipher::decipher(almost).has_value());
}

TEST(PasswordCipher, HexDigitValues)
{
    EXPECT_EQ(password_cipher::hex_digit_value('0'), 0);
    EXPECT_EQ(password_cipher::hex_digit_value('9'), 9);
    EXPECT_EQ(password_cipher::hex_digit_value('A'), 10);
    EXPECT_EQ(password_cipher::hex_digit_value('f'), 15);
}

} // namespace
