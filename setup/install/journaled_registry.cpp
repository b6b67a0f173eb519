// Registry writes of the install steps, journaled for rollback and logged.
#include "install/journaled_registry.h"

#include "install/created_keys.h"
#include "install/rollback_journal.h"
#include "util/action_log.h"

int journaled_create_key(kRegKey *key, HKEY root, const char *path) {
  int existing = journal_active() ? existing_key_levels(root, path) : -1;
  if (!key->Create(root, path)) return 0;
  journal_key_created(root, path, existing);
  return 1;
}

int journaled_set_string(kRegKey *key, HKEY root, const char *path, const char *name, const char *text) {
  if (!journal_value_before(key->getkey(), root, path, name)) return 0;
  log_line("registry: %s\\%s, \"%s\" = \"%s\"", root_text(root), path, name, text);
  return key->SetString(name, text);
}

int journaled_set_dword(kRegKey *key, HKEY root, const char *path, const char *name, unsigned long number) {
  if (!journal_value_before(key->getkey(), root, path, name)) return 0;
  log_line("registry: %s\\%s, \"%s\" = %lu", root_text(root), path, name, number);
  return key->SetDWORD(name, number);
}
