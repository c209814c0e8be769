#include "features/wallpaper/WallpaperPage.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace {

std::string Trimmed(const std::string &text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos)
    return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

void Line(std::string &page, const std::string &text) {
  page += text;
  page += "\r\n";
}

// Appends text as a script string literal (see ScriptString); with slashes, a path whose "\"
// become "/", as SlashPath turns them.
void AppendScriptString(std::string &out, const std::string &text, bool slashes) {
  static const char hex[] = "0123456789ABCDEF";
  out += '"';
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    switch (c) {
    case '\\':
      out += slashes ? "/" : "\\\\";
      break;
    case '"':
      out += "\\\"";
      break;
    case '\'':
      out += "\\'";
      break;
    case '\r':
      out += "\\r";
      break;
    case '\n':
      out += "\\n";
      break;
    case '<':
      out += "\\x3C";
      break;
    default:
      if (byte < 0x20 || byte == 0x7F) {
        out += "\\x";
        out += hex[byte >> 4];
        out += hex[byte & 15];
      } else {
        out += c;
      }
    }
  }
  out += '"';
}

std::string PathString(const std::string &path) {
  std::string literal;
  AppendScriptString(literal, path, true);
  return literal;
}

} // namespace

std::string SlashPath(const std::string &path) {
  std::string result = path;
  std::replace(result.begin(), result.end(), '\\', '/');
  return result;
}

std::string ScriptString(const std::string &text) {
  std::string literal;
  AppendScriptString(literal, text, false);
  return literal;
}

std::optional<int> WholeNumber(const std::string &text, int minimum) {
  std::string digits = Trimmed(text);
  if (digits.empty() || digits.size() > 9 ||
      digits.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  int value = std::stoi(digits);
  if (value < minimum)
    return std::nullopt;
  return value;
}

std::optional<int64_t> PauseMilliseconds(const std::string &text, int unit) {
  std::string digits = Trimmed(text);
  if (digits.empty() || digits.size() > 12 ||
      digits.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  int64_t ms = std::stoll(digits) * 1000 * unit;
  if (ms <= 0 || ms > INT32_MAX)
    return std::nullopt;
  return ms;
}

std::optional<std::string> SecondsNumber(const std::string &text) {
  std::string number = Trimmed(text);
  if (number.empty() || number.find_first_not_of("0123456789.") != std::string::npos ||
      std::count(number.begin(), number.end(), '.') > 1 || number == "." ||
      number.find_first_not_of("0.") == std::string::npos)
    return std::nullopt;
  size_t point = std::min(number.find('.'), number.size());
  size_t first = std::min(number.find_first_not_of('0'), point);
  std::string result = first == point ? std::string("0") : number.substr(first, point - first);
  if (point < number.size()) {
    size_t last = number.find_last_not_of('0');
    if (last > point)
      result += number.substr(point, last - point + 1);
  }
  return result;
}

std::string WallpaperPageText(const WallpaperPageSettings &settings,
                              const std::vector<std::string> &playerScript) {
  std::string page;
  // The picture lines dominate a long list; reserve once for them and the script.
  size_t size = 1024;
  for (const std::string &picture : settings.pictures)
    size += picture.size() + 5;
  for (const std::string &line : playerScript)
    size += line.size() + 2;
  page.reserve(size);

  std::string cx = std::to_string(settings.screenWidth);
  std::string cy = std::to_string(settings.screenHeight);
  Line(page, "<html>");
  Line(page, "<head>");
  Line(page, "<meta http-equiv=Content-Type content=\"text/html; charset=ISO8859_1\">");
  Line(page, "<SCRIPT LANGUAGE=\"JScript\">");
  Line(page, "packagefile=\"\";");
  Line(page, "tranmethod=" + std::to_string(settings.transition) + ";");
  // Whatever reaches here is written as a number the script reads: the form's default for text
  // that is none (the form checks it before).
  Line(page, "filtertime=" + SecondsNumber(settings.transitionTime).value_or("2") + ";");
  Line(page, "delaytime=" + std::to_string(settings.pauseMs) + ";");
  Line(page, "customsize=0;");
  Line(page, "cx=" + cx + ";");
  Line(page, "cy=" + cy + ";");
  Line(page, "basepath=" + PathString(settings.basePath) + ";");
  Line(page, "homepath=" + PathString(settings.homePath) + ";");
  Line(page, std::string("randombegin=") + (settings.randomBegin ? "1" : "0") + ";");
  Line(page, std::string("stretchpic=") + (settings.stretch ? "1" : "0") + ";");
  Line(page, std::string("showlogo=") + (settings.showLogo ? "1" : "0") + ";");
  if (settings.area) {
    // The rectangle was drawn on a preview 200 pixels wide: the page scales it by the whole
    // number of screen pixels per preview pixel.
    int scale = settings.screenWidth / 200;
    const WallpaperPageSettings::Template &area = *settings.area;
    Line(page, "backimage=" + PathString(area.picture) + ";");
    Line(page, "areaLeft=" + std::to_string(int64_t(scale) * area.left) + ";");
    Line(page, "areaTop=" + std::to_string(int64_t(scale) * area.top) + ";");
    Line(page, "areaWidth=" + std::to_string(int64_t(scale) * area.width) + ";");
    Line(page, "areaHeight=" + std::to_string(int64_t(scale) * area.height) + ";");
  } else {
    Line(page, "backimage=\"\";");
    Line(page, "areaLeft=0;");
    Line(page, "areaTop=0;");
    Line(page, "areaWidth=" + cx + ";");
    Line(page, "areaHeight=" + cy + ";");
  }
  Line(page, "mediatype=0;");
  Line(page, "filelist=new Array(");
  for (size_t i = 0; i < settings.pictures.size(); ++i) {
    AppendScriptString(page, settings.pictures[i], true);
    page += i + 1 < settings.pictures.size() ? ",\r\n" : "\r\n";
  }
  Line(page, ");</script>");
  for (const std::string &line : playerScript)
    Line(page, line);
  return page;
}

bool SavePageFile(const std::string &fileName, const std::string &bytes) {
  HANDLE file = CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  DWORD written = 0;
  bool whole = bytes.size() <= MAXDWORD &&
               WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
               written == bytes.size();
  CloseHandle(file);
  if (!whole)
    DeleteFileA(fileName.c_str());
  return whole;
}

const std::vector<std::string> &PlayerScriptLines() {
  // The player: globals, the escape for text written into an HTML attribute (the template
  // picture's path may hold quotes and "<"), init, the picture player and the three media players
  // (reached only with mediatype 1 to 3), then the body with the product's card, hidden once init
  // runs.
  static const std::vector<std::string> lines = {
      "<SCRIPT LANGUAGE=\"JScript\">",
      "<!--",
      "var idx=0;",
      "var filterindex=1;",
      "var cur_frame=0;",
      "function html_attr(text){",
      "  return text.replace(/&/g,\"&amp;\").replace(/\"/g,\"&quot;\").replace(/'/g,\"&#39;\")"
      ".replace(/[<]/g,\"&lt;\").replace(/>/g,\"&gt;\");",
      "}",
      "function init(){",
      "  wptext.style.visibility=\"hidden\";",
      "  if(backimage!=\"\"){",
      "    document.write('<img src=\"'+html_attr('file://'+backimage)+'\" width='+screen.width+"
      "' height='+screen.height+' style=\"position:absolute;left:0;top:0\">');",
      "  }",
      "  if(randombegin==1) idx=Math.round(Math.random()*(filelist.length-1));",
      "  if(mediatype==0) init_paper();",
      "  else if(mediatype==1) init_flash();",
      "  else if(mediatype==2) init_wmplayer();",
      "  else if(mediatype==3) init_real();",
      "}",
      "function init_paper(){",
      "  var filtertext;",
      "  if(tranmethod==24) filtertext=\"BlendTrans(Duration=5)\";",
      "  else filtertext=\"RevealTrans(Duration=5,Transition=1)\";",
      "  if(showlogo==1){",
      "    document.write('<div id=\"egroup\" style=\"position:absolute;left:'+(screen.width-170)+"
      "';top:10;z-index:1;filter:glow(color=black,strength=5)\">');",
      "    document.write('<a target=\"_blank\" href=\"http://www.lumagrove.example/\">"
      "<img src=\"wplogo.gif\" border=0 style=\"filter: Alpha(Opacity=80)\"></a></div>');",
      "  }",
      "  document.write('<div align=center style=\"position:absolute;left:'+areaLeft+';top:'+"
      "areaTop+';width:'+areaWidth+';height:'+areaHeight+'\">');",
      "  if(stretchpic==1) document.write('<img id=\"paper\" style=\"filter:'+filtertext+'\" "
      "width=\"100%\" height=\"100%\">');",
      "  else document.write('<img id=\"paper\" style=\"filter:'+filtertext+'\">');",
      "  document.write('</div>');",
      "  set_paper();",
      "  setTimeout(\"change_paper();\",100);",
      "}",
      "function source_of(name){",
      "  if(name.charAt(1)==\":\") return \"file://\"+name;",
      "  if(packagefile!=\"\") return \"file://\"+basepath+name;",
      "  return \"file://\"+homepath+name;",
      "}",
      "function next_index(){",
      "  idx++;",
      "  if(idx>=filelist.length) idx=0;",
      "}",
      "function set_paper(){",
      "  paper.src=source_of(filelist[idx]);",
      "  next_index();",
      "}",
      "function change_paper(){",
      "  paper.filters[0].duration=filtertime;",
      "  if(tranmethod<24) paper.filters[0].transition=tranmethod;",
      "  paper.filters[0].apply();",
      "  set_paper();",
      "  paper.filters[0].play();",
      "  setTimeout(\"change_paper();\",delaytime);",
      "}",
      "function area_style(){",
      "  return 'position:absolute;left:'+areaLeft+';top:'+areaTop+';width:'+areaWidth+"
      "';height:'+areaHeight;",
      "}",
      "function init_flash(){",
      "  document.write('<object id=\"flashobj\" "
      "classid=\"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000\" style=\"'+area_style()+'\">"
      "<param name=\"movie\" value=\"\"><param name=\"quality\" value=\"high\">"
      "<param name=\"loop\" value=\"false\"></object>');",
      "  flashobj.movie=source_of(filelist[idx]);",
      "  setInterval(\"play_flash();\",1000);",
      "}",
      "function play_flash(){",
      "  if(cur_frame>=flashobj.FrameNum){",
      "    flashobj.FrameNum=cur_frame+1;",
      "    flashobj.play();",
      "  }",
      "  cur_frame=flashobj.FrameNum;",
      "  if(cur_frame>=flashobj.TotalFrames-1){",
      "    next_index();",
      "    cur_frame=0;",
      "    flashobj.movie=source_of(filelist[idx]);",
      "  }",
      "}",
      "function wmplayer_object(){",
      "  return '<object id=\"wmplayer\" classid=\"clsid:05589FA1-C356-11CE-BF01-00AA0055595A\" "
      "width=\"100%\" height=\"100%\"><param name=\"autostart\" value=\"1\">"
      "<param name=\"autorewind\" value=\"0\"><param name=\"showcontrols\" value=\"0\">"
      "<param name=\"showdisplay\" value=\"0\"></object>';",
      "}",
      "function init_wmplayer(){",
      "  document.write('<div id=\"wmdiv\" style=\"'+area_style()+'\">'+wmplayer_object()+"
      "'</div>');",
      "  wmplayer.filename=source_of(filelist[idx]);",
      "  setInterval(\"play_wmedia();\",1000);",
      "}",
      "function play_wmedia(){",
      "  if(wmplayer.currentPosition>=wmplayer.selectionEnd){",
      "    next_index();",
      "    wmdiv.innerHTML=wmplayer_object();",
      "    wmplayer.filename=source_of(filelist[idx]);",
      "  }",
      "}",
      "function init_real(){",
      "  document.write('<object id=\"realobj\" "
      "classid=\"clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA\" style=\"'+area_style()+'\">"
      "<param name=\"controls\" value=\"imagewindow\"><param name=\"autostart\" value=\"1\">"
      "<param name=\"loop\" value=\"false\"></object>');",
      "  realobj.source=source_of(filelist[idx]);",
      "  setInterval(\"play_real();\",1000);",
      "}",
      "function play_real(){",
      "  if(realobj.getPosition()>=realobj.getLength()){",
      "    next_index();",
      "    realobj.source=source_of(filelist[idx]);",
      "  }",
      "}",
      "//-->",
      "</script>",
      "</head>",
      "<body scroll=\"no\" leftMargin=\"0\" topMargin=\"0\" bgColor=\"8000FF\">",
      "<table id=\"wptext\" width=\"100%\" height=\"100%\" border=\"0\" cellspacing=\"0\" "
      "cellpadding=\"0\"><tr><td align=\"center\" valign=\"middle\">",
      "<p style=\"font-size:86px;color:white\">Lumagrove</p>",
      "<p style=\"font-size:86px;color:white\">Quillomar</p>",
      "<p style=\"font-size:46px;color:yellow\">www.lumagrove.example</p>",
      "</td></tr></table>",
      "<script language=\"JScript\">init();</script>",
      "</body>",
      "</html>",
  };
  return lines;
}
