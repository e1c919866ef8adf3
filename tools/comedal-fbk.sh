# Shared by comedal-backup and comedal-restaure: scratch databases beside a database, restoring a
# gbak copy into one, and reading a database's tables and row counts. Needs ISC_USER/ISC_PASSWORD.

# "server:/folder/banco.fdb" -> "server:/folder/banco-WORD-PID-RANDOM.fdb": the server can write
# there, and the scratch copy lives on the same disk as the database it stands for.
banco_vizinho() {
  local servidor=${1%%:*} caminho=${1#*:}
  echo "$servidor:${caminho%.fdb}-$2-$$-$RANDOM.fdb"
}

restaura_em() { gbak -c -v "$1" "$2"; }

descarta_banco() {
  echo "drop database;" | isql-fb -q "$1" >/dev/null 2>&1 || true
}

# User tables, one a line, sorted.
tabelas() {
  echo "set heading off;
select trim(RDB\$RELATION_NAME) from RDB\$RELATIONS
 where coalesce(RDB\$SYSTEM_FLAG, 0) = 0 and RDB\$VIEW_BLR is null order by 1;" |
    isql-fb -q "$1" | sed 's/ *$//' | sed '/^$/d' | sort
}

# "TABLE;ROWS" for every user table, sorted.
conta_linhas() {
  local t sql=""
  while IFS= read -r t; do
    sql+="select '${t//\'/\'\'};' || count(*) from \"${t//\"/\"\"}\";"$'\n'
  done < <(tabelas "$1")
  [ -n "$sql" ] || return 0
  printf 'set heading off;\n%s' "$sql" | isql-fb -q "$1" | sed 's/ *$//' | sed '/^$/d' | sort
}
