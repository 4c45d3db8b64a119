#include "HelpWriter.h"

QByteArray THelpWriter::Page()
{
    return QByteArrayLiteral(R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Orvo Photo Frame 2.38 - Help</title>
<style>
body { font-family: sans-serif; max-width: 46em; margin: 2em auto; padding: 0 1em; line-height: 1.45; color: #222; }
h1 { color: #5a3b1c; border-bottom: 3px solid #d7af50; padding-bottom: .2em; }
h2 { color: #5a3b1c; margin-top: 1.6em; }
kbd { border: 1px solid #bbb; border-radius: 3px; padding: 0 .3em; background: #f6f6f6; }
.tip { background: #fff8e1; border-left: 4px solid #d7af50; padding: .5em 1em; }
nav a { margin-right: 1em; }
</style>
</head>
<body>
<h1>Orvo Photo Frame</h1>
<p>Orvo puts a frame around your photo. Add clip-art and lines of text on top,
adjust the photo's colours, and save the result as a JPEG picture, print it,
send it by e-mail or make it your desktop wallpaper.</p>
<nav><a href="#start">Getting started</a><a href="#frames">Frames</a><a href="#png">PNG frames</a>
<a href="#clipart">Clip-art</a><a href="#text">Text</a><a href="#edit">Editing</a>
<a href="#photo">Photo colours</a><a href="#output">Saving and sharing</a><a href="#folder">Program folder</a></nav>

<h2 id="start">Getting started</h2>
<p>At start-up Orvo shows a sample photo in a walnut frame. To frame your own photo:</p>
<ol>
<li>Choose <b>File &rsaquo; Open Photo...</b> (<kbd>Ctrl</kbd>+<kbd>O</kbd>), or double-click the photo.</li>
<li>Pick a frame on the <b>Frame</b> or <b>Png Frame</b> tab of the side panel and double-click it.</li>
<li>Choose <b>File &rsaquo; Save</b> (<kbd>Ctrl</kbd>+<kbd>S</kbd>) to write the framed photo as a JPEG file.</li>
</ol>
<p class="tip">The tip of the day appears at start-up; switch it off in the tip window, and
show it again with <b>Help &rsaquo; Tip of the days</b>.</p>

<h2 id="frames">Frames</h2>
<p>The <b>Frame</b> tab lists the frames of one category at a time; choose the category
in the list at the top. Double-click a frame, or select it and click <b>Add to Photo</b>,
to put it around the photo. Frames are drawn at the size of the frame on the canvas,
so they stay sharp at any size. There are three kinds:</p>
<ul>
<li><b>Simple frames</b>: a band of colour or of a tiled texture between two edge lines,
around a rectangular, oval or diamond-shaped opening.</li>
<li><b>Ornate frames</b>: one square tile repeated along the four sides, with mitred corners.</li>
<li><b>Picture frames</b>: twelve pieces cut from a picture of a frame; the corners keep
their size and the sides repeat.</li>
</ul>
<p>Make your own with <b>New</b>: <b>New Simple Frame</b> sets the edge lines, the band
widths, a colour or a background picture (the <i>bkpic</i> folder has textures to start
with) and the opening's shape; <b>New Ornate Frame</b> takes a tile picture and its size;
<b>New Picture Frame</b> cuts a loaded picture with a grid that you drag into place. A live
preview shows the result. New frames are stored in the <b>User</b> category.
<b>Edit</b> reopens a simple or ornate frame in its designer. <b>Save</b> exports the
selected frame as a PNG picture with a transparent opening.</p>

<h2 id="png">PNG frames</h2>
<p>The <b>Png Frame</b> tab shows ready-made frames: PNG pictures whose transparent
opening shows the photo. Double-click one or use <b>Add to Photo</b>;
<b>Load Png Frame From File</b> uses any PNG picture with transparency as a frame.</p>

<h2 id="clipart">Clip-art</h2>
<p>The <b>ClipArt</b> tab offers pictures by category: hearts, party things, nature and
corner ornaments. Double-click one, or use <b>Add to Photo</b>, to place it on the photo;
<b>Load clipart from file</b> adds any PNG picture of your own.</p>

<h2 id="text">Text</h2>
<p>On the <b>Text</b> tab, type a line and click <b>Add New Text</b>. <b>Select Font</b>
chooses the font and colours; <b>Apply</b> changes the selected text. Click a text on the
canvas to edit it again.</p>

<h2 id="edit">Moving, sizing and arranging</h2>
<p>Click the photo, the frame, a clip-art picture or a text to select it. Drag it to move
it, drag one of its eight handles to resize it. Clicks in the frame's transparent opening
reach the photo below. Right-click a clip-art picture or text for its menu.</p>
<ul>
<li><b>Edit &rsaquo; Delete Select Object</b> (<kbd>Del</kbd>), <b>Send to Back</b> and
<b>Bring to Front</b> act on the selected clip-art picture or text.</li>
<li><b>Flip Left to Right</b>, <b>Flip Top to Bottom</b>, <b>Rotate 90 Left</b> and
<b>Rotate 90 Right</b> turn the selected photo, frame or clip-art picture.</li>
<li><b>Undo</b> (<kbd>Ctrl</kbd>+<kbd>Z</kbd>) and <b>Redo</b>
(<kbd>Shift</kbd>+<kbd>Ctrl</kbd>+<kbd>Z</kbd>) step through the changes to the pictures.</li>
</ul>

<h2 id="photo">Photo colours</h2>
<p>The <b>Photo</b> menu adjusts the photo with a live preview:
<b>Brightness/Contrast/Gamma</b>, <b>Color Adjust</b> (red, green and blue balance) and
<b>Saturation</b>. Every adjustment can be undone.</p>

<h2 id="output">Saving and sharing</h2>
<ul>
<li><b>File &rsaquo; Save</b> writes the framed photo, with its clip-art and text, as a JPEG
file of the best quality. Orvo asks before it overwrites a file.</li>
<li><b>File &rsaquo; Print</b> places the framed photo on the page with a preview.</li>
<li><b>Output &rsaquo; Send Photo to Friends</b> sends the framed photo by e-mail.</li>
<li><b>Output &rsaquo; Make Photo Wallpaper</b> shows it on your desktop.</li>
<li><b>Output &rsaquo; Add Frame to photo in bulk</b> puts one frame around many photos at once,
either over the originals or as new files with a prefix of your choice.</li>
</ul>

<h2 id="folder">The program folder</h2>
<p>Orvo reads its content from the folder it is installed in. Add your own material there
and it appears at the next start:</p>
<ul>
<li><i>Frame/&lt;category&gt;/</i>: frame files (<i>.okx</i>), one folder per category;
<i>Frame/User/</i> holds the frames you design.</li>
<li><i>clipart/&lt;category&gt;/</i>: clip-art PNG pictures, one folder per category.</li>
<li><i>png/</i>: PNG frames with a transparent opening.</li>
<li><i>bkpic/</i>: background pictures for simple frames.</li>
<li><i>Default.png</i> and <i>Default.jpg</i>: the frame and photo shown at start-up.</li>
</ul>
</body>
</html>
)");
}
