// The routine path of the export: the record's values (DBF2ARRAY), each as
// the text that goes between the double quotes of the output (VARTOCHAR,
// TRIM), for tables whose records are not kept as bytes.
#include "src/app/values_renderer.hpp"
#include "platform/db/workarea.hpp"
#include "platform/rt/call_frame.hpp"
#include "platform/rt/strings.hpp"
#include "src/app/message_box.hpp"
#include "src/app/line_writer.hpp"

namespace app {

void dbf2Array(rt::Array& aRecord) {
  RT_PROC("DBF2ARRAY");
  std::size_t n = 0;
  // The field count is read again before each field, as the routine always
  // did; the array's elements are reused, only their values change.
  for (int nField = 1; nField <= db::fCount(); ++nField, ++n) {
    if (n < aRecord.size()) {
      aRecord[n] = db::fieldGet(nField);
    } else {
      aRecord.push_back(db::fieldGet(nField));
    }
  }
  aRecord.resize(n);
}

rt::Array dbf2Array(const std::optional<std::string>& cAlias) {
  RT_PROC("DBF2ARRAY");
  rt::Array aRecord;
  if (!cAlias) {
    dbf2Array(aRecord);
  } else {
    db::inArea(db::select(*cAlias), [&] { dbf2Array(aRecord); });
  }
  return aRecord;
}

void writeValue(LineWriter& out, const rt::Value& xValue, bool binary) {
  RT_PROC("VARTOCHAR");
  // TRIM: trailing blanks go, leading blanks stay. No byte becomes a blank
  // and no blank changes in the output, so trimming the stored text first
  // gives the same text and spares the padding of wide fields.
  if (xValue.isText()) {
    out.text(rt::trimView(xValue.text()), binary);
    return;
  }
  switch (xValue.type()) {
    case 'D': {
      // A date field that holds no date keeps its stored characters, which
      // may be any byte: they are written as text.
      const std::string ymd = xValue.date().dtos();
      const std::string_view trimmed = rt::trimView(ymd);
      const bool digits = trimmed.find_first_not_of("0123456789") == std::string_view::npos;
      digits ? out.plain(trimmed) : out.text(trimmed);
      break;
    }
    case 'L': out.plain(xValue.logical() ? "T" : "F"); break;
    case 'N': {
      std::string text;
      rt::appendStr(text, xValue.number());
      out.plain(rt::allTrimView(text));
      break;
    }
    default:
      msg(std::string("UNDETERMINED TYPE ") + xValue.type());
      out.plain("");
      break;
  }
}

std::string_view valuesLine(LineWriter& out, const rt::Array& aRecord,
                            const std::vector<bool>& binary) {
  out.begin();
  for (std::size_t i = 0; i < aRecord.size(); ++i) {
    writeValue(out, aRecord[i], i < binary.size() && binary[i]);
  }
  return out.end();
}

}  // namespace app
