// The associations step: extension keys, their file-type keys and the conflict question.
#include "install/associations.h"

#include <cstring>

#include "res/resource.h"
#include "script/file_type_names.h"
#include "sdk/reg_key.h"
#include "sdk/utilities.h"
#include "util/action_log.h"
#include "util/bounded_text.h"
#include "util/messages.h"

namespace {

void set_default_value(ChangeWriter *writer, const char *key_name, const char *text) {
  kRegKey key;
  if (!writer->create_key(&key, HKEY_CLASSES_ROOT, key_name, KEY_NOT_RECORDED)) return;
  writer->set_string(&key, HKEY_CLASSES_ROOT, key_name, "", text, false);
  key.Close();
}

// An extension with a backslash would address a key deeper in HKEY_CLASSES_ROOT, and the record's
// "ext,program" text must fit 259 characters to be read back at uninstall.
bool usable_association(const SetupAssociation &item) {
  return item.ext.length() > 0 && !strchr(item.ext.c_str(), '\\') &&
         item.ext.length() + item.prog.length() + 1 < MAX_PATH;
}

void write_one(ChangeWriter *writer, const SetupAssociation &item, const String &type_key) {
  SetupInfo *info = writer->info();
  // The script's name for the file type, else ".ext file".
  String text = item.ext;
  text.append(" file");
  const char *named = file_type_name(item.ext.c_str());
  if (named && named[0]) text = named;
  set_default_value(writer, item.ext.c_str(), type_key.c_str());
  set_default_value(writer, type_key.c_str(), text.c_str());

  char icon[16];
  format_text(icon, sizeof icon, ",%lu", static_cast<unsigned long>(static_cast<uint32_t>(item.icon)));
  String key_name = type_key;
  key_name.append("\\DefaultIcon");
  text = info->install_dir;
  text.append("\\");
  text.append(item.prog);
  text.append(icon);
  set_default_value(writer, key_name.c_str(), text.c_str());

  key_name = type_key;
  key_name.append("\\Shell\\Open\\Command");
  text = "\"";
  text.append(info->install_dir);
  text.append("\\");
  text.append(item.prog);
  text.append("\" \"%1\"");
  set_default_value(writer, key_name.c_str(), text.c_str());
}

}  // namespace

void fill_two_texts(const char *template_text, const char *first, const char *second, char *out,
                    size_t size) {
  if (!out || size == 0) return;
  const char *fills[2] = {first ? first : "", second ? second : ""};
  int used_fills = 0;
  size_t n = 0;
  auto put = [&](char c) {
    if (n + 1 < size) out[n++] = c;
  };
  for (const char *p = template_text ? template_text : ""; *p; ++p) {
    if (p[0] == '%' && p[1] == '%') {
      put('%');
      ++p;
    } else if (p[0] == '%' && p[1] == 's' && used_fills < 2) {
      for (const char *f = fills[used_fills]; *f; ++f) put(*f);
      ++used_fills;
      ++p;
    } else {
      put(*p);
    }
  }
  out[n] = 0;
}

int confirm_association(SetupInfo *info, const char *extension) {
  char question[260] = {0};
  char caption[260] = {0};
  char message[1024];
  load_res_string(info, IDS_ASSOC_QUESTION, question, sizeof question);
  load_res_string(info, IDS_ASSOC_CAPTION, caption, sizeof caption);
  fill_two_texts(question, extension, info->product_name.c_str(), message, sizeof message);
  int answer = g_message_box(nullptr, message, caption, MB_YESNO | MB_ICONQUESTION | MB_TOPMOST);
  return answer == IDNO ? 1 : 0;
}

int write_associations(ChangeWriter *writer) {
  SetupInfo *info = writer->info();
  for (uint32_t i = 0; i < info->associations.size(); ++i) {
    info->associations_cursor = &info->associations[i];
    SetupAssociation item = info->associations[i];
    if (!usable_association(item)) continue;
    String type_key = item.ext;
    type_key.append(".file.type");
    kRegKey existing;
    if (existing.Open(HKEY_CLASSES_ROOT, item.ext.c_str())) {
      existing.Close();
      if (confirm_association(info, item.ext.c_str()) == 1) return 0;
    }
    write_one(writer, item, type_key);
    log_line("association: %s -> %s (%s)", item.ext.c_str(), type_key.c_str(), item.prog.c_str());
    writer->association_made(item.ext.c_str(), item.prog.c_str());
  }
  info->associations_cursor = info->associations.end();
  return 0;
}
