#!/usr/bin/env bash
# The config templates, instantiated for a bundle folder with a space in its name,
# read by the real servers Debian ships: Apache's apache2 -t, MariaDB's option parsing
# (my_print_defaults and mariadbd --help --verbose) and php -c; then the three together:
# MariaDB initialised and run from my.ini, Apache with mod_php on httpd.conf and
# php.ini, and a page in www that writes and reads a row through mysqli as root, read
# over HTTP from this computer, and refused from another address where the test can
# make one (a network namespace of its own).
set -euo pipefail

ext=$(cd "$(dirname "$0")/../../bundle/Ext" && pwd)
bundle=$(mktemp -d "/tmp/config test.XXXXXX")
netns=velmora-configs-$$
cleanup() {
  local pid
  if [ -f "$bundle/MySQL/tmp/mariadb.pid" ]; then
    pid=$(cat "$bundle/MySQL/tmp/mariadb.pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  fi
  if [ -f "$bundle/apache/logs/httpd.pid" ]; then apache2 -k stop -f "$bundle/linux.conf" 2>/dev/null || true; fi
  ip netns del "$netns" 2>/dev/null || true
  ip link del vlm$$ 2>/dev/null || true
  sleep 1
  rm -rf "$bundle"
}
trap cleanup EXIT
passed=0
failed=0

check() { # description, command...
  local what=$1
  shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $what"; else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
has() { grep -qF -- "$2" <<<"$1"; }

# What the panel does: copy each template and put the folder, with forward slashes, for its token.
instantiate() { sed "s|$2|$bundle|g" "$ext/$1" >"$bundle/$3"; }
mkdir -p "$bundle"/apache/{conf,logs,modules,cgi-bin} "$bundle"/MySQL/{tmp,logs} "$bundle"/PHP/{ext,tmp,logs} "$bundle/www"
instantiate I_apache.ini Apache_Path apache/conf/httpd.conf
instantiate I_mysql.ini Mysql_Path MySQL/my.ini
instantiate I_php.ini PHP_Path PHP/php.ini

# Debian builds mysqlnd and PDO as shared modules that must load first (built into PHP
# for Windows) and OpenSSL into PHP itself; the Linux ini adds and drops those, and
# Apache's PHP reads it too.
for so in curl gd mbstring mysqli pdo_mysql mysqlnd pdo; do
  ln -s "/usr/lib/php/20220829/$so.so" "$bundle/PHP/ext/$so.so"
done
sed -e 's/^extension=curl/extension=mysqlnd\r\nextension=pdo\r\n&/' -e '/^extension=openssl/d' \
  "$bundle/PHP/php.ini" >"$bundle/PHP/php-linux.ini"

echo "== Apache: apache2 -t"
# The test folder supplies the module files: Debian's modules under the Windows names.
for module in $(grep -oP '^LoadModule \w+ modules/\K\S+' "$bundle/apache/conf/httpd.conf"); do
  [ -e "/usr/lib/apache2/modules/$module" ] && ln -s "/usr/lib/apache2/modules/$module" "$bundle/apache/modules/$module"
done
ln -s /usr/lib/apache2/modules/libphp8.2.so "$bundle/PHP/php8apache2_4.dll"
cp /etc/mime.types "$bundle/apache/conf/mime.types"
# Linux needs an MPM loaded (Windows has mpm_winnt built in), and modules that
# Debian compiled into apache2 cannot be loaded again.
builtin=$(apache2 -l | grep -oP 'mod_\K\w+(?=\.c)' | paste -sd'|')
sed -E -i "s/^LoadModule ($builtin)_module /# built into Debian's apache2: &/" "$bundle/apache/conf/httpd.conf"
printf 'LoadModule mpm_prefork_module /usr/lib/apache2/modules/mod_mpm_prefork.so\nInclude "%s"\n' \
  "$bundle/apache/conf/httpd.conf" >"$bundle/linux.conf"
check "apache2 -t accepts httpd.conf" apache2 -t -f "$bundle/linux.conf"
run_cfg=$(apache2 -t -D DUMP_RUN_CFG -f "$bundle/linux.conf" 2>&1)
check "ServerRoot is the bundle's apache folder" has "$run_cfg" "ServerRoot: \"$bundle/apache\""
check "DocumentRoot is the bundle's www folder" has "$run_cfg" "Main DocumentRoot: \"$bundle/www\""
check "ErrorLog is in the bundle" has "$run_cfg" "Main ErrorLog: \"$bundle/apache/logs/error.log\""
modules=$(apache2 -t -D DUMP_MODULES -f "$bundle/linux.conf" 2>&1)
check "PHP is loaded from the bundle's PHP folder" has "$modules" "php_module (shared)"
# And served for real, on loopback: Listen, DocumentRoot, DirectoryIndex, the PHP
# handler and PHPIniDir together. Linux adds a user to drop to and a pid file.
chmod 755 "$bundle"
printf '<?php echo "session.save_path=", ini_get("session.save_path"), "\n";\n' >"$bundle/www/index.php"
printf 'User www-data\nGroup www-data\nPidFile "%s"\nMutex "file:%s" default\n' \
  "$bundle/apache/logs/httpd.pid" "$bundle/apache/logs" >>"$bundle/linux.conf"
if apache2 -k start -f "$bundle/linux.conf"; then
  page=$(for _ in $(seq 50); do curl -s --max-time 2 http://127.0.0.1:666/ && break; sleep 0.2; done)
  apache2 -k stop -f "$bundle/linux.conf" || true
  for _ in $(seq 50); do [ -e "$bundle/apache/logs/httpd.pid" ] || break; sleep 0.2; done
else
  page=
fi
check "Apache serves the bundle's index.php on port 666 with the bundle's php.ini" \
  has "$page" "session.save_path=$bundle/PHP/tmp"

echo "== MariaDB: my_print_defaults and mariadbd --help --verbose"
defaults=$(my_print_defaults --defaults-file="$bundle/MySQL/my.ini" mysqld)
check "server port 667" has "$defaults" "--port=667"
check "basedir in the bundle" has "$defaults" "--basedir=$bundle/MySQL"
check "datadir in the bundle" has "$defaults" "--datadir=$bundle/MySQL/data"
client=$(my_print_defaults --defaults-file="$bundle/MySQL/my.ini" client)
check "client port 667" has "$client" "--port=667"
# mariadbd refuses any option it does not know, so this reads the whole [mysqld] section.
if server=$(mariadbd --defaults-file="$bundle/MySQL/my.ini" --user=root --help --verbose 2>&1); then ok=true; else ok=false; fi
check "mariadbd accepts every option" $ok
check "mariadbd reads port 667" grep -qE '^port +667$' <<<"$server"
check "mariadbd reads datadir" grep -qE "^datadir +$bundle/MySQL/data/\$" <<<"$server"

echo "== PHP: php -c"
report=$(PHP_INI_SCAN_DIR= php -c "$bundle/PHP/php-linux.ini" -d display_startup_errors=1 -d log_errors=0 -r '
  foreach (["extension_dir", "session.save_path", "upload_tmp_dir", "error_log", "mysqli.default_port",
            "date.timezone", "memory_limit"] as $k) echo $k, "=", ini_get($k), "\n";
  foreach (["curl", "gd", "mbstring", "mysqli", "pdo_mysql"] as $e) echo "loaded ", $e, "=", extension_loaded($e) ? 1 : 0, "\n";' 2>&1)
echo "$report"
check "no startup warnings" bash -c '! grep -q Warning <<<"$1"' _ "$report"
check "extension_dir" has "$report" "extension_dir=$bundle/PHP/ext"
check "session.save_path" has "$report" "session.save_path=$bundle/PHP/tmp"
check "upload_tmp_dir" has "$report" "upload_tmp_dir=$bundle/PHP/tmp"
check "error_log" has "$report" "error_log=$bundle/PHP/logs/php_error.log"
check "mysqli.default_port 667" has "$report" "mysqli.default_port=667"
check "date.timezone" has "$report" "date.timezone=Asia/Shanghai"
for e in curl gd mbstring mysqli pdo_mysql; do check "extension $e loads" has "$report" "loaded $e=1"; done

echo "== The three together: MariaDB from my.ini, Apache with mod_php, a page that uses the database"
# The test folder supplies the server's shared files; mariadb-install-db (a shell script) cannot
# take a folder with a space in its name, so the data folder is made aside and moved in.
mkdir -p "$bundle/MySQL/share"
ln -s /usr/share/mysql "$bundle/MySQL/share/mysql"
init=$(mktemp -d)
mariadb-install-db --no-defaults --basedir=/usr --datadir="$init/data" --user=root \
  --auth-root-authentication-method=normal --skip-test-db >"$bundle/init.log" 2>&1 || cat "$bundle/init.log"
mv "$init/data" "$bundle/MySQL/data"
rmdir "$init"
mariadbd --defaults-file="$bundle/MySQL/my.ini" --user=root --socket="$bundle/MySQL/tmp/mysql.sock" \
  --pid-file="$bundle/MySQL/tmp/mariadb.pid" >/dev/null 2>&1 &
for _ in $(seq 100); do mariadb-admin -h 127.0.0.1 -P 667 -u root ping >/dev/null 2>&1 && break; sleep 0.2; done
check "MariaDB runs from my.ini: port 667, the bundle's data folder" \
  has "$(mariadb -h 127.0.0.1 -P 667 -u root -N -e 'select @@port, @@datadir' 2>&1)" "667	$bundle/MySQL/data/"
check "its error log is outside the data folder" test -s "$bundle/MySQL/logs/mysql_error.log"

# Apache's PHP reads php.ini from PHPIniDir: the Linux variant of the bundle's one.
cp "$bundle/PHP/php-linux.ini" "$bundle/PHP/php.ini"
cat >"$bundle/www/db.php" <<'PHP'
<?php
// As root, with php.ini's own host and port (mysqli.default_host, mysqli.default_port).
$db = new mysqli(null, 'root');
$db->set_charset('utf8mb4');
$db->query('CREATE DATABASE IF NOT EXISTS velmora');
$db->select_db('velmora');
$db->query('CREATE TABLE IF NOT EXISTS notes (id INT AUTO_INCREMENT PRIMARY KEY, text VARCHAR(100))');
$text = '你好，Velmora 网站';
$insert = $db->prepare('INSERT INTO notes (text) VALUES (?)');
$insert->bind_param('s', $text);
$insert->execute();
echo 'host=', $db->host_info, "\n", 'row=', $db->query('SELECT text FROM notes ORDER BY id DESC LIMIT 1')->fetch_row()[0], "\n";
PHP
if apache2 -k start -f "$bundle/linux.conf"; then
  page=$(for _ in $(seq 50); do curl -s --max-time 5 http://127.0.0.1:666/db.php && break; sleep 0.2; done)
  # Another address: a network namespace of the test's own, joined by a veth pair.
  remote=unavailable
  if ip netns add "$netns" 2>/dev/null &&
    ip link add vlm$$ type veth peer name vlmc$$ && ip link set vlmc$$ netns "$netns" &&
    ip addr add 10.250.$(($$ % 250)).1/24 dev vlm$$ && ip link set vlm$$ up &&
    ip netns exec "$netns" ip addr add 10.250.$(($$ % 250)).2/24 dev vlmc$$ &&
    ip netns exec "$netns" ip link set vlmc$$ up; then
    remote=$(ip netns exec "$netns" curl -s -o /dev/null -w '%{http_code}' --max-time 5 \
      "http://10.250.$(($$ % 250)).1:666/db.php" || true)
  fi
  apache2 -k stop -f "$bundle/linux.conf" || true
  for _ in $(seq 50); do [ -e "$bundle/apache/logs/httpd.pid" ] || break; sleep 0.2; done
else
  page=
  remote=
fi
echo "$page"
check "the page writes and reads a Chinese row through mysqli as root on 127.0.0.1:667" \
  has "$page" "row=你好，Velmora 网站"
check "over TCP to 127.0.0.1 port 667" has "$page" "host=127.0.0.1 via TCP/IP"
if [ "$remote" = unavailable ]; then
  echo "skipped: no network namespace here, so a request from another address cannot be made"
else
  check "a request from another address is refused (403), not served" test "$remote" = 403
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
