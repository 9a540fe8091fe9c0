<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Document Title</title>
</head>
<body>
<h1>Main Page Heading</h1>
<p>Body text.</p>
</body>
</html>
