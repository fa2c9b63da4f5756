<?php
// The web root of the bundle: put your site here.
header('Content-Type: text/html; charset=utf-8');
?>
<!doctype html>
<title>Velmora</title>
<h1>Velmora 网站服务器已运行 / is running</h1>
<p>PHP <?php echo htmlspecialchars(PHP_VERSION); ?>,
MySQL <?php echo extension_loaded('mysqli') ? 'mysqli ' . ini_get('mysqli.default_port') : '(mysqli not loaded)'; ?></p>
