// The code page guesser on text of its own making, in other words than the
// dictionaries its statistics come from: each language in the pages it is
// written in, short text among plain ASCII, the double-byte pages, UTF-8,
// and text that is no language at all.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "platform/rt/code_page.hpp"
#include "platform/rt/code_page_guess.hpp"
#include "platform/rt/utf8.hpp"

namespace {

// The characters of UTF-8 text.
std::u32string characters(const std::string& utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t c = n == 1 ? b : b & (0x7F >> n);
    for (int k = 1; k < n; ++k) c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out += c;
    i += static_cast<std::size_t>(n);
  }
  return out;
}

// `utf8` in the single-byte page `page`; fails the test when the page
// cannot hold it.
std::string encode(const std::string& utf8, const std::string& page) {
  rt::CodePageChars chars{};
  EXPECT_EQ(rt::codePageChars(page, chars), rt::CodePageKind::SingleByte) << page;
  std::map<char32_t, char> bytes;
  for (int b = 255; b >= 0; --b) bytes[chars[static_cast<std::size_t>(b)]] = static_cast<char>(b);
  std::string out;
  for (const char32_t c : characters(utf8)) {
    const auto at = bytes.find(c);
    EXPECT_NE(at, bytes.end()) << page << " lacks U+" << std::hex << static_cast<unsigned>(c);
    if (at != bytes.end()) out += at->second;
  }
  return out;
}

// Whether `guessed` reads `text` as `page` does: the same output.
bool readsAlike(const std::string& text, const std::string& guessed, const std::string& page) {
  if (guessed == page) return true;
  rt::CodePageChars a{}, b{};
  if (rt::codePageChars(guessed, a) != rt::CodePageKind::SingleByte) return false;
  rt::codePageChars(page, b);
  for (const char c : text) {
    if (a[static_cast<unsigned char>(c)] != b[static_cast<unsigned char>(c)]) return false;
  }
  return true;
}

void expectGuess(const std::string& text, const std::string& page, const std::string& what) {
  const std::vector<rt::CodePageScore> ranking = rt::guessCodePage(text);
  ASSERT_FALSE(ranking.empty()) << what;
  EXPECT_TRUE(readsAlike(text, ranking[0].name, page))
      << what << " in " << page << " guessed " << ranking[0].name << " (" << ranking[0].sure << ")";
}

const struct {
  const char* language;
  const char* text;
  std::vector<const char*> pages;
} kTexts[] = {
    {"German", "Jürgen Müller wohnt in der Hauptstraße in Köln; die Größe der Bücher für die Schüler "
               "ist schön, Grüße an Frau Öztürk und Herrn Weiß aus Nürnberg.",
     {"CP850", "CP1252", "CP437", "macintosh"}},
    {"French", "Le garçon a reçu une lettre très élégante à côté de la fenêtre; où êtes-vous allés "
               "déjà? Hélène préfère le café crème et les pâtes fraîches.",
     {"CP850", "CP1252", "CP863"}},
    {"Spanish", "El niño pequeño comió una manzana en el jardín; la señora García está aquí con "
                "su hermano José, que llegó ayer desde León.",
     {"CP850", "CP1252"}},
    {"Polish", "Zażółć gęślą jaźń; pan Łukasz Wąsowski mieszka w Łodzi przy ulicy Żeromskiego, "
               "a jego siostra pracuje w Gdańsku jako księgowa.",
     {"CP852", "CP1250", "iso-8859-2"}},
    {"Czech", "Příliš žluťoučký kůň úpěl ďábelské ódy; řidič čeká před obchodem a paní Dvořáková "
              "platí účet v korunách.",
     {"CP852", "CP1250"}},
    {"Russian", "Иванов Пётр Сергеевич живёт на улице Ленина, дом пять; заказ получен на складе и "
                "отправлен покупателю в пятницу утром.",
     {"CP866", "CP1251", "koi8-r", "iso-8859-5", "CP855"}},
    {"Ukrainian", "Шевченко Тарас Григорович мешкає на вулиці Хрещатик; замовлення отримано, "
                  "рахунок сплачено, товар відправлено до Києва.",
     {"CP1251", "koi8-u"}},
    {"Greek", "Ο Γιώργος Παπαδόπουλος μένει στην Αθήνα, στην οδό Πανεπιστημίου· η παραγγελία "
              "στάλθηκε στον πελάτη την Τρίτη.",
     {"CP737", "CP1253", "iso-8859-7"}},
    {"Turkish", "Şirketimiz İstanbul'da bulunuyor; müşterinin siparişi gönderildi, ödeme yapıldı ve "
                "fatura Ayşe Hanım'a iletildi.",
     {"CP857", "CP1254"}},
    {"Lithuanian", "Užsakymas išsiųstas klientui į Vilnių; mokėjimas gautas antradienį, prekės "
                   "pristatytos į sandėlį Kaune.",
     {"CP775", "CP1257"}},
    {"Hebrew", "ההזמנה נשלחה ללקוח בתל אביב; התשלום התקבל ביום שלישי והחשבונית נשלחה בדואר.",
     {"CP862", "CP1255", "iso-8859-8"}},
    {"Arabic", "تم إرسال الطلب إلى العميل في القاهرة، وتم استلام الدفع يوم الثلاثاء من الأسبوع الماضي.",
     {"CP1256", "iso-8859-6"}},
    {"Thai", "ส่งคำสั่งซื้อให้ลูกค้าที่กรุงเทพแล้ว ได้รับการชำระเงินเมื่อวันอังคาร", {"CP874"}},
};

TEST(CodePageGuessTest, EachLanguageReadsRightInEachPageItIsWrittenIn) {
  for (const auto& t : kTexts) {
    for (const char* page : t.pages) expectGuess(encode(t.text, page), page, t.language);
  }
}

// A table whose text is mostly plain: a few names are all there is to read.
TEST(CodePageGuessTest, AFewShortValuesAreEnough) {
  const struct {
    const char* text;
    const char* page;
  } cases[] = {
      {"Jürgen Müller\nHauptstraße 5\nGrüße\n", "CP850"},
      {"Łódź, ul. Żeromskiego\nWąsowski Łukasz\n", "CP1250"},
      {"Петров Иван\nСидорова Анна\n", "CP866"},
      {"Петров Иван\nСидорова Анна\n", "CP1251"},
      {"Петров Иван\nСидорова Анна\n", "koi8-r"},
      {"Παπαδόπουλος Γιώργος\n", "CP737"},
      // Names from several languages in one column, and codes with an
      // apostrophe among capitals.
      {"Crème brûlée\nKäsespätzle\nSmörgåsbord\nCrêpes Suzette\n", "CP1252"},
      {"SV’K1BE7559\nSV´MDC62215\nS´Q6N1BA42\n", "CP1252"},
  };
  for (const auto& c : cases) expectGuess(encode(c.text, c.page), c.page, c.text);
}

TEST(CodePageGuessTest, DoubleBytePagesAndUtf8ReadByTheirSequences) {
  const struct {
    std::string text;
    const char* page;
  } cases[] = {
      {"\x93\x8C\x8B\x9E\x82\xCC\x96{\x8E\xD0\x82\xC5\x90V\x82\xB5\x82\xA2\x92\x8D\x95\xB6\x82\xF0\x8E\xF3\x82"
       "\xAF\x95t\x82\xAF\x82\xDC\x82\xB5\x82\xBD\x81" "B\x82\xA8\x8Bq\x97l\x82\xCC\x96\xBC\x91O\x82\xC6\x8FZ\x8F"
       "\x8A\x82\xF0\x8Am\x94" "F\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81" "B",
       "CP932"},
      {"\xB1\xB1\xBE\xA9\xB7\xD6\xB9\xAB\xCB\xBE\xCA\xD5\xB5\xBD\xC1\xCB\xD0\xC2\xB5\xC4\xB6\xA9\xB5\xA5\xA3\xAC"
       "\xC7\xEB\xBA\xCB\xB6\xD4\xBF\xCD\xBB\xA7\xB5\xC4\xD0\xD5\xC3\xFB\xBA\xCD\xB5\xD8\xD6\xB7\xA1\xA3",
       "CP936"},
      {"\xA5x\xA5_\xA4\xC0\xA4\xBD\xA5q\xA6\xAC\xA8\xEC\xA4" "F\xB7s\xAA\xBA\xADq\xB3\xE6\xA1" "A\xBD\xD0\xAE\xD6"
       "\xB9\xEF\xAB\xC8\xA4\xE1\xAA\xBA\xA9m\xA6W\xA9M\xA6" "a\xA7}\xA1" "C",
       "CP950"},
      {"\xBC\xAD\xBF\xEF \xC1\xF6\xBB\xE7\xBF\xA1\xBC\xAD \xBB\xF5\xB7\xCE\xBF\xEE \xC1\xD6\xB9\xAE\xC0\xBB "
       "\xB9\xDE\xBE\xD2\xBD\xC0\xB4\xCF\xB4\xD9. \xB0\xED\xB0\xB4\xC0\xC7 \xC0\xCC\xB8\xA7\xB0\xFA \xC1\xD6\xBC"
       "\xD2\xB8\xA6 \xC8\xAE\xC0\xCE\xC7\xCF\xBD\xCA\xBD\xC3\xBF\xC0.",
       "CP949"},
      {"Иванов Пётр, Müller Jürgen, Łódź", "UTF-8"},
  };
  for (const auto& c : cases) {
    const std::vector<rt::CodePageScore> ranking = rt::guessCodePage(c.text);
    ASSERT_FALSE(ranking.empty()) << c.page;
    EXPECT_EQ(ranking[0].name, c.page);
  }
}

// Plain ASCII leaves nothing to rank; noise and fragments are ranked
// without harm, each candidate once, none shown surer than one before it.
TEST(CodePageGuessTest, AsciiNoiseAndFragmentsEndClearly) {
  EXPECT_TRUE(rt::guessCodePage("").empty());
  EXPECT_TRUE(rt::guessCodePage("ACME Corp, invoice 00042\n").empty());
  std::mt19937 random(5);
  std::string noise;
  for (int i = 0; i < 4096; ++i) noise += static_cast<char>(random() & 0xFF);
  for (const std::string& text : {noise, std::string("\xC3"), std::string("\x81"), std::string("a\xE4\n\xFF")}) {
    const std::vector<rt::CodePageScore> ranking = rt::guessCodePage(text);
    ASSERT_FALSE(ranking.empty());
    std::map<std::string, int> seen;
    double before = 1.0;
    for (const rt::CodePageScore& s : ranking) {
      EXPECT_EQ(++seen[s.name], 1) << s.name;
      EXPECT_GE(s.sure, 0.0);
      EXPECT_LE(s.sure, before) << s.name;
      before = s.sure;
    }
  }
  EXPECT_LT(rt::guessCodePage(noise)[0].sure, 0.5);
}

// Pictures and documents kept in text memos say nothing of a code page;
// text with a control character now and then is still text.
TEST(CodePageGuessTest, FilesKeptInMemosAreToldFromText) {
  using namespace std::string_literals;
  for (const std::string& file : {"\xFF\xD8\xFF\xE0\x00\x10JFIF"s, "\x89PNG\r\n\x1A\n"s, "GIF89a\x80"s,
                                  "MM\x00*\x80\x80"s, "PK\x03\x04\x14"s, "M\xFCller\x00\x00"s,
                                  "\x01\x02\x80\x03\x81\x04\x05\x82\x83\x06\x07\x08\x84\x85\x0B\x0C"s}) {
    EXPECT_TRUE(rt::looksBinary(file)) << file;
  }
  const std::string text = "Hauptstra\xE1" "e 5\r\n\tK\x94ln\x1B(s3B\x0C" + std::string(200, 'x');
  EXPECT_FALSE(rt::looksBinary(text));
  EXPECT_FALSE(rt::looksBinary(""));
}

TEST(CodePageGuessTest, TheSampleKeepsOnlyValuesBeyondAsciiUpToItsBound) {
  rt::CodePageSample sample;
  sample.add("plain");
  sample.add("a longer plain value, read eight bytes at a time");
  sample.add("M\xFCller");
  sample.add("Hauptstra\xE1" "e, K\x94ln");
  EXPECT_EQ(sample.text(), "M\xFCller\nHauptstra\xE1" "e, K\x94ln\n");
  EXPECT_EQ(sample.highBytes(), 3u);
  const std::string value(1000, '\xE4');
  while (!sample.full()) sample.add(value);
  const std::size_t size = sample.text().size();
  sample.add(value);
  EXPECT_EQ(sample.text().size(), size);
  EXPECT_LT(size, rt::CodePageSample::kMaxBytes + value.size() + 2);
}

}  // namespace
