#include "editor/CompletionData.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace CompletionData {

namespace {

// Element, then its own attributes (blank-separated).
const char* const kElements[][2] = {
    {"a", "href target download rel hreflang type referrerpolicy ping"},
    {"abbr", ""}, {"address", ""},
    {"area", "alt coords shape href target download rel referrerpolicy ping"},
    {"article", ""}, {"aside", ""},
    {"audio", "src crossorigin preload autoplay loop muted controls"},
    {"b", ""}, {"base", "href target"}, {"bdi", ""}, {"bdo", ""},
    {"blockquote", "cite"}, {"body", "onload onunload onbeforeunload onhashchange onmessage onpopstate onresize"},
    {"br", ""},
    {"button", "disabled form formaction formenctype formmethod formnovalidate formtarget name type value popovertarget popovertargetaction"},
    {"canvas", "width height"}, {"caption", ""}, {"cite", ""}, {"code", ""},
    {"col", "span"}, {"colgroup", "span"}, {"data", "value"}, {"datalist", ""},
    {"dd", ""}, {"del", "cite datetime"}, {"details", "open name"}, {"dfn", ""},
    {"dialog", "open"}, {"div", ""}, {"dl", ""}, {"dt", ""}, {"em", ""},
    {"embed", "src type width height"}, {"fieldset", "disabled form name"},
    {"figcaption", ""}, {"figure", ""}, {"footer", ""},
    {"form", "accept-charset action autocomplete enctype method name novalidate target rel"},
    {"h1", ""}, {"h2", ""}, {"h3", ""}, {"h4", ""}, {"h5", ""}, {"h6", ""},
    {"head", ""}, {"header", ""}, {"hgroup", ""}, {"hr", ""}, {"html", "manifest"},
    {"i", ""},
    {"iframe", "src srcdoc name sandbox allow allowfullscreen width height referrerpolicy loading"},
    {"img", "alt src srcset sizes crossorigin usemap ismap width height referrerpolicy decoding loading fetchpriority"},
    {"input", "accept alt autocomplete checked dirname disabled form formaction formenctype formmethod formnovalidate formtarget height list max maxlength min minlength multiple name pattern placeholder readonly required size src step type value width"},
    {"ins", "cite datetime"}, {"kbd", ""}, {"label", "for"}, {"legend", ""},
    {"li", "value"},
    {"link", "href crossorigin rel media integrity hreflang type referrerpolicy sizes imagesrcset imagesizes as blocking color disabled fetchpriority"},
    {"main", ""}, {"map", "name"}, {"mark", ""}, {"menu", ""},
    {"meta", "name http-equiv content charset media"},
    {"meter", "value min max low high optimum"}, {"nav", ""}, {"noscript", ""},
    {"object", "data type name form width height"},
    {"ol", "reversed start type"}, {"optgroup", "disabled label"},
    {"option", "disabled label selected value"}, {"output", "for form name"},
    {"p", ""}, {"picture", ""}, {"pre", ""}, {"progress", "value max"},
    {"q", "cite"}, {"rp", ""}, {"rt", ""}, {"ruby", ""}, {"s", ""}, {"samp", ""},
    {"script", "src type nomodule async defer crossorigin integrity referrerpolicy blocking fetchpriority"},
    {"search", ""}, {"section", ""},
    {"select", "autocomplete disabled form multiple name required size"},
    {"slot", "name"}, {"small", ""}, {"source", "type media src srcset sizes width height"},
    {"span", ""}, {"strong", ""}, {"style", "media blocking"}, {"sub", ""},
    {"summary", ""}, {"sup", ""}, {"table", ""}, {"tbody", ""},
    {"td", "colspan rowspan headers"}, {"template", "shadowrootmode"},
    {"textarea", "autocomplete cols dirname disabled form maxlength minlength name placeholder readonly required rows wrap"},
    {"tfoot", ""}, {"th", "colspan rowspan headers scope abbr"}, {"thead", ""},
    {"time", "datetime"}, {"title", ""}, {"tr", ""},
    {"track", "default kind label src srclang"}, {"u", ""}, {"ul", ""}, {"var", ""},
    {"video", "src crossorigin poster preload autoplay playsinline loop muted controls width height"},
    {"wbr", ""},
};

const char* const kGlobal =
    "accesskey autocapitalize autofocus class contenteditable dir draggable enterkeyhint hidden id inert "
    "inputmode is itemid itemprop itemref itemscope itemtype lang nonce popover spellcheck style tabindex "
    "title translate onblur onchange onclick oncontextmenu ondblclick onfocus oninput onkeydown onkeyup "
    "onmousedown onmouseout onmouseover onmouseup onsubmit";

// Attribute, the elements it has these values on ("*": every element), the values.
const char* const kValues[][3] = {
    {"type", "input", "button checkbox color date datetime-local email file hidden image month number password radio range reset search submit tel text time url week"},
    {"type", "button", "button reset submit"},
    {"type", "ol", "1 a A i I"},
    {"type", "script", "module importmap text/javascript"},
    {"method", "form", "get post dialog"},
    {"formmethod", "*", "get post dialog"},
    {"enctype", "form", "application/x-www-form-urlencoded multipart/form-data text/plain"},
    {"formenctype", "*", "application/x-www-form-urlencoded multipart/form-data text/plain"},
    {"target", "*", "_blank _self _parent _top"},
    {"formtarget", "*", "_blank _self _parent _top"},
    {"rel", "link", "alternate author canonical dns-prefetch help icon license manifest modulepreload next pingback preconnect prefetch preload prev search stylesheet"},
    {"rel", "*", "alternate author bookmark external help license next nofollow noopener noreferrer opener prev search tag"},
    {"as", "link", "audio document embed fetch font image object script style track video worker"},
    {"crossorigin", "*", "anonymous use-credentials"},
    {"referrerpolicy", "*", "no-referrer no-referrer-when-downgrade origin origin-when-cross-origin same-origin strict-origin strict-origin-when-cross-origin unsafe-url"},
    {"loading", "*", "eager lazy"},
    {"decoding", "*", "sync async auto"},
    {"fetchpriority", "*", "high low auto"},
    {"preload", "*", "none metadata auto"},
    {"dir", "*", "ltr rtl auto"},
    {"draggable", "*", "true false"},
    {"contenteditable", "*", "true false plaintext-only"},
    {"spellcheck", "*", "true false"},
    {"translate", "*", "yes no"},
    {"autocapitalize", "*", "none sentences words characters"},
    {"enterkeyhint", "*", "enter done go next previous search send"},
    {"inputmode", "*", "none text decimal numeric tel search email url"},
    {"popover", "*", "auto manual"},
    {"popovertargetaction", "*", "toggle show hide"},
    {"autocomplete", "form", "on off"},
    {"autocomplete", "*", "on off name email username new-password current-password one-time-code organization street-address country postal-code cc-name cc-number cc-exp tel url"},
    {"shape", "area", "default rect circle poly"},
    {"scope", "th", "row col rowgroup colgroup"},
    {"kind", "track", "subtitles captions descriptions chapters metadata"},
    {"wrap", "textarea", "soft hard"},
    {"sandbox", "iframe", "allow-downloads allow-forms allow-modals allow-popups allow-same-origin allow-scripts allow-top-navigation"},
    {"http-equiv", "meta", "content-type default-style refresh x-ua-compatible content-security-policy"},
    {"name", "meta", "application-name author description generator keywords referrer robots theme-color color-scheme viewport"},
    {"charset", "meta", "utf-8"},
    {"shadowrootmode", "template", "open closed"},
    {"blocking", "*", "render"},
};

// Property, then its keyword values.
const char* const kCss[][2] = {
    {"align-content", "normal start end center flex-start flex-end space-between space-around space-evenly stretch"},
    {"align-items", "normal stretch center start end flex-start flex-end baseline"},
    {"align-self", "auto normal stretch center start end flex-start flex-end baseline"},
    {"all", ""}, {"animation", "none infinite alternate forwards backwards both running paused"},
    {"animation-delay", ""}, {"animation-direction", "normal reverse alternate alternate-reverse"},
    {"animation-duration", ""}, {"animation-fill-mode", "none forwards backwards both"},
    {"animation-iteration-count", "infinite"}, {"animation-name", "none"},
    {"animation-play-state", "running paused"},
    {"animation-timing-function", "ease ease-in ease-out ease-in-out linear step-start step-end"},
    {"appearance", "none auto"}, {"aspect-ratio", "auto"},
    {"backdrop-filter", "none"}, {"backface-visibility", "visible hidden"},
    {"background", "none transparent no-repeat repeat repeat-x repeat-y fixed scroll center top bottom left right"},
    {"background-attachment", "scroll fixed local"},
    {"background-blend-mode", "normal multiply screen overlay darken lighten"},
    {"background-clip", "border-box padding-box content-box text"},
    {"background-color", "transparent currentcolor"}, {"background-image", "none"},
    {"background-origin", "border-box padding-box content-box"},
    {"background-position", "top bottom left right center"},
    {"background-repeat", "repeat repeat-x repeat-y no-repeat space round"},
    {"background-size", "auto cover contain"},
    {"border", "none hidden dotted dashed solid double groove ridge inset outset thin medium thick"},
    {"border-bottom", "none solid dashed dotted double"}, {"border-bottom-color", "transparent currentcolor"},
    {"border-bottom-left-radius", ""}, {"border-bottom-right-radius", ""},
    {"border-bottom-style", "none hidden dotted dashed solid double groove ridge inset outset"},
    {"border-bottom-width", "thin medium thick"}, {"border-collapse", "collapse separate"},
    {"border-color", "transparent currentcolor"}, {"border-image", "none"},
    {"border-left", "none solid dashed dotted double"}, {"border-left-color", "transparent currentcolor"},
    {"border-left-style", "none hidden dotted dashed solid double groove ridge inset outset"},
    {"border-left-width", "thin medium thick"}, {"border-radius", ""},
    {"border-right", "none solid dashed dotted double"}, {"border-right-color", "transparent currentcolor"},
    {"border-right-style", "none hidden dotted dashed solid double groove ridge inset outset"},
    {"border-right-width", "thin medium thick"}, {"border-spacing", ""},
    {"border-style", "none hidden dotted dashed solid double groove ridge inset outset"},
    {"border-top", "none solid dashed dotted double"}, {"border-top-color", "transparent currentcolor"},
    {"border-top-left-radius", ""}, {"border-top-right-radius", ""},
    {"border-top-style", "none hidden dotted dashed solid double groove ridge inset outset"},
    {"border-top-width", "thin medium thick"}, {"border-width", "thin medium thick"},
    {"bottom", "auto"}, {"box-shadow", "none inset"}, {"box-sizing", "content-box border-box"},
    {"break-after", "auto avoid page column"}, {"break-before", "auto avoid page column"},
    {"break-inside", "auto avoid avoid-page avoid-column"}, {"caption-side", "top bottom"},
    {"caret-color", "auto transparent currentcolor"}, {"clear", "none left right both inline-start inline-end"},
    {"clip-path", "none"}, {"color", "currentcolor transparent black white red green blue gray silver maroon purple fuchsia lime olive yellow navy teal aqua orange"},
    {"column-count", "auto"}, {"column-gap", "normal"}, {"column-rule", "none solid dashed dotted"},
    {"column-width", "auto"}, {"columns", "auto"},
    {"content", "none normal open-quote close-quote no-open-quote no-close-quote"},
    {"counter-increment", "none"}, {"counter-reset", "none"},
    {"cursor", "auto default none context-menu help pointer progress wait cell crosshair text vertical-text alias copy move no-drop not-allowed grab grabbing all-scroll col-resize row-resize n-resize e-resize s-resize w-resize ne-resize nw-resize se-resize sw-resize ew-resize ns-resize zoom-in zoom-out"},
    {"direction", "ltr rtl"},
    {"display", "none block inline inline-block flex inline-flex grid inline-grid flow-root contents table table-row table-cell table-caption list-item"},
    {"empty-cells", "show hide"}, {"filter", "none"}, {"flex", "none auto"}, {"flex-basis", "auto content"},
    {"flex-direction", "row row-reverse column column-reverse"}, {"flex-flow", "row column wrap nowrap"},
    {"flex-grow", ""}, {"flex-shrink", ""}, {"flex-wrap", "nowrap wrap wrap-reverse"},
    {"float", "none left right inline-start inline-end"},
    {"font", "caption icon menu message-box small-caption status-bar"},
    {"font-family", "serif sans-serif monospace cursive fantasy system-ui"},
    {"font-feature-settings", "normal"}, {"font-kerning", "auto normal none"},
    {"font-size", "xx-small x-small small medium large x-large xx-large smaller larger"},
    {"font-stretch", "normal condensed expanded"}, {"font-style", "normal italic oblique"},
    {"font-variant", "normal small-caps"}, {"font-weight", "normal bold bolder lighter 100 200 300 400 500 600 700 800 900"},
    {"gap", "normal"}, {"grid", "none"}, {"grid-area", "auto"}, {"grid-auto-columns", "auto min-content max-content"},
    {"grid-auto-flow", "row column dense"}, {"grid-auto-rows", "auto min-content max-content"},
    {"grid-column", "auto"}, {"grid-column-end", "auto"}, {"grid-column-start", "auto"},
    {"grid-row", "auto"}, {"grid-row-end", "auto"}, {"grid-row-start", "auto"},
    {"grid-template", "none"}, {"grid-template-areas", "none"}, {"grid-template-columns", "none auto min-content max-content subgrid"},
    {"grid-template-rows", "none auto min-content max-content subgrid"}, {"height", "auto min-content max-content fit-content"},
    {"hyphens", "none manual auto"}, {"image-rendering", "auto smooth high-quality crisp-edges pixelated"},
    {"inset", "auto"}, {"isolation", "auto isolate"},
    {"justify-content", "normal start end center flex-start flex-end left right space-between space-around space-evenly stretch"},
    {"justify-items", "normal stretch start end center left right baseline"},
    {"justify-self", "auto normal stretch start end center left right baseline"},
    {"left", "auto"}, {"letter-spacing", "normal"}, {"line-height", "normal"},
    {"list-style", "none disc circle square decimal inside outside"},
    {"list-style-image", "none"}, {"list-style-position", "inside outside"},
    {"list-style-type", "none disc circle square decimal decimal-leading-zero lower-roman upper-roman lower-alpha upper-alpha lower-greek lower-latin upper-latin"},
    {"margin", "auto"}, {"margin-bottom", "auto"}, {"margin-left", "auto"}, {"margin-right", "auto"}, {"margin-top", "auto"},
    {"mask", "none"}, {"max-height", "none min-content max-content fit-content"},
    {"max-width", "none min-content max-content fit-content"}, {"min-height", "auto min-content max-content fit-content"},
    {"min-width", "auto min-content max-content fit-content"}, {"mix-blend-mode", "normal multiply screen overlay darken lighten difference"},
    {"object-fit", "fill contain cover none scale-down"}, {"object-position", "top bottom left right center"},
    {"opacity", ""}, {"order", ""}, {"outline", "none solid dashed dotted double auto"},
    {"outline-color", "currentcolor"}, {"outline-offset", ""}, {"outline-style", "none auto solid dashed dotted double groove ridge inset outset"},
    {"outline-width", "thin medium thick"}, {"overflow", "visible hidden clip scroll auto"},
    {"overflow-wrap", "normal break-word anywhere"}, {"overflow-x", "visible hidden clip scroll auto"},
    {"overflow-y", "visible hidden clip scroll auto"}, {"padding", ""}, {"padding-bottom", ""},
    {"padding-left", ""}, {"padding-right", ""}, {"padding-top", ""},
    {"page-break-after", "auto always avoid left right"}, {"page-break-before", "auto always avoid left right"},
    {"page-break-inside", "auto avoid"}, {"perspective", "none"}, {"place-content", "center start end stretch space-between space-around"},
    {"place-items", "center start end stretch baseline"}, {"pointer-events", "auto none"},
    {"position", "static relative absolute fixed sticky"}, {"quotes", "none auto"},
    {"resize", "none both horizontal vertical block inline"}, {"right", "auto"}, {"row-gap", "normal"},
    {"scroll-behavior", "auto smooth"}, {"scroll-margin", ""}, {"scroll-padding", "auto"},
    {"scroll-snap-align", "none start end center"}, {"scroll-snap-type", "none x y block inline both mandatory proximity"},
    {"tab-size", ""}, {"table-layout", "auto fixed"},
    {"text-align", "start end left right center justify match-parent"},
    {"text-decoration", "none underline overline line-through"}, {"text-decoration-color", "currentcolor"},
    {"text-decoration-line", "none underline overline line-through"},
    {"text-decoration-style", "solid double dotted dashed wavy"}, {"text-indent", "hanging each-line"},
    {"text-overflow", "clip ellipsis"}, {"text-shadow", "none"},
    {"text-transform", "none capitalize uppercase lowercase full-width"}, {"text-underline-offset", "auto"},
    {"top", "auto"}, {"transform", "none"}, {"transform-origin", "top bottom left right center"},
    {"transition", "none all"}, {"transition-delay", ""}, {"transition-duration", ""},
    {"transition-property", "none all"}, {"transition-timing-function", "ease ease-in ease-out ease-in-out linear step-start step-end"},
    {"unicode-bidi", "normal embed isolate bidi-override isolate-override plaintext"},
    {"user-select", "auto text none contain all"}, {"vertical-align", "baseline sub super text-top text-bottom middle top bottom"},
    {"visibility", "visible hidden collapse"}, {"white-space", "normal nowrap pre pre-wrap pre-line break-spaces"},
    {"width", "auto min-content max-content fit-content"}, {"will-change", "auto scroll-position contents transform opacity"},
    {"word-break", "normal break-all keep-all break-word"}, {"word-spacing", "normal"},
    {"writing-mode", "horizontal-tb vertical-rl vertical-lr"}, {"z-index", "auto"},
};

QStringList words(const char* list)
{
    return QString::fromLatin1(list).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QStringList sorted(QStringList list)
{
    list.removeDuplicates();
    std::sort(list.begin(), list.end());
    return list;
}

const QHash<QString, const char*>& elementTable()
{
    static const QHash<QString, const char*> table = [] {
        QHash<QString, const char*> t;
        for (const auto& e : kElements)
            t.insert(QString::fromLatin1(e[0]), e[1]);
        return t;
    }();
    return table;
}

const QHash<QString, const char*>& cssTable()
{
    static const QHash<QString, const char*> table = [] {
        QHash<QString, const char*> t;
        for (const auto& p : kCss)
            t.insert(QString::fromLatin1(p[0]), p[1]);
        return t;
    }();
    return table;
}

} // namespace

const QStringList& elements()
{
    static const QStringList list = sorted(elementTable().keys());
    return list;
}

bool isElement(const QString& name)
{
    return elementTable().contains(name.toLower());
}

QStringList attributes(const QString& element)
{
    QStringList list = words(kGlobal);
    if (const char* own = elementTable().value(element.toLower(), nullptr))
        list += words(own);
    return sorted(list);
}

QStringList attributeValues(const QString& element, const QString& attribute)
{
    const QString e = element.toLower(), a = attribute.toLower();
    // The element's own list first, then the one for every element.
    for (const char* which : {"own", "*"}) {
        for (const auto& v : kValues) {
            const bool own = qstrcmp(which, "own") == 0;
            if (a == QLatin1String(v[0]) && (own ? e == QLatin1String(v[1]) : qstrcmp(v[1], "*") == 0))
                return words(v[2]);
        }
    }
    return {};
}

const QStringList& cssProperties()
{
    static const QStringList list = sorted(cssTable().keys());
    return list;
}

QStringList cssValues(const QString& property)
{
    QStringList list = words(cssTable().value(property.toLower(), ""));
    list += words("inherit initial unset revert");
    return list;
}

} // namespace CompletionData
